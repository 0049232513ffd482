#include "TestCertificate.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace lexoria::test {
namespace {

template <auto Free>
struct Deleter {
    template <typename T>
    void operator()(T* p) const noexcept {
        Free(p);
    }
};
using PkeyCtxPtr = std::unique_ptr<EVP_PKEY_CTX, Deleter<EVP_PKEY_CTX_free>>;
using PkeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using X509Ptr = std::unique_ptr<X509, Deleter<X509_free>>;
using ExtPtr = std::unique_ptr<X509_EXTENSION, Deleter<X509_EXTENSION_free>>;
using BignumPtr = std::unique_ptr<BIGNUM, Deleter<BN_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO_free_all>>;

// OpenSSL keeps its reasons on a thread-local queue; drain it into the message
// so a failing test says more than "it didn't work".
[[noreturn]] void fail(const std::string& what) {
    std::string msg = "TestCertificate: " + what;
    while (unsigned long code = ERR_get_error()) {
        char buf[256];
        ERR_error_string_n(code, buf, sizeof buf);
        msg += "; ";
        msg += buf;
    }
    throw std::runtime_error(msg);
}

void check(int rc, const char* what) {
    if (rc <= 0)
        fail(what);
}

PkeyPtr makeP256Key() {
    PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
    if (!ctx)
        fail("EVP_PKEY_CTX_new_from_name");
    check(EVP_PKEY_keygen_init(ctx.get()), "EVP_PKEY_keygen_init");
    check(EVP_PKEY_CTX_set_group_name(ctx.get(), "P-256"), "set_group_name");
    EVP_PKEY* raw = nullptr;
    check(EVP_PKEY_generate(ctx.get(), &raw), "EVP_PKEY_generate");
    return PkeyPtr(raw);
}

void addExtension(X509* cert, X509V3_CTX* ctx, int nid, const char* value) {
    ExtPtr ext(X509V3_EXT_nconf_nid(nullptr, ctx, nid, value));
    if (!ext)
        fail(std::string("extension ") + OBJ_nid2sn(nid));
    check(X509_add_ext(cert, ext.get(), -1), "X509_add_ext");
}

X509Ptr makeSelfSigned(EVP_PKEY* key) {
    X509Ptr cert(X509_new());
    if (!cert)
        fail("X509_new");
    check(X509_set_version(cert.get(), X509_VERSION_3), "X509_set_version");

    // A random serial keeps clients that cache certificates by issuer+serial
    // from mixing up certificates of different test runs.
    BignumPtr serial(BN_new());
    if (!serial)
        fail("BN_new");
    check(BN_rand(serial.get(), 63, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY), "BN_rand");
    if (!BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(cert.get())))
        fail("BN_to_ASN1_INTEGER");

    // Back-dated by an hour so small clock differences between threads or
    // containers never make the certificate "not yet valid".
    if (!X509_gmtime_adj(X509_getm_notBefore(cert.get()), -60L * 60) ||
        !X509_gmtime_adj(X509_getm_notAfter(cert.get()), 24L * 60 * 60))
        fail("X509_gmtime_adj");

    check(X509_set_pubkey(cert.get(), key), "X509_set_pubkey");

    X509_NAME* name = X509_get_subject_name(cert.get());
    check(
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("localhost"), -1, -1, 0),
        "X509_NAME_add_entry_by_txt");
    check(X509_set_issuer_name(cert.get(), name), "X509_set_issuer_name");

    X509V3_CTX ctx;
    X509V3_set_ctx(&ctx, cert.get(), cert.get(), nullptr, nullptr, 0);
    // CA:TRUE lets the certificate be its own trust anchor (CAINFO); the
    // subject key id must exist before the authority key id can refer to it.
    addExtension(cert.get(), &ctx, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(cert.get(), &ctx, NID_key_usage, "critical,digitalSignature,keyCertSign");
    addExtension(cert.get(), &ctx, NID_ext_key_usage, "serverAuth");
    addExtension(cert.get(), &ctx, NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1");
    addExtension(cert.get(), &ctx, NID_subject_key_identifier, "hash");
    addExtension(cert.get(), &ctx, NID_authority_key_identifier, "keyid:always");

    if (X509_sign(cert.get(), key, EVP_sha256()) <= 0)
        fail("X509_sign");
    return cert;
}

std::string makeTempDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = (base && *base) ? base : "/tmp";
    pattern += "/lexoria-cert-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data()))
        throw std::system_error(errno, std::generic_category(),
                                "TestCertificate: mkdtemp " + pattern);
    return buf.data();
}

BioPtr openForWrite(const std::string& path) {
    BioPtr bio(BIO_new_file(path.c_str(), "w"));
    if (!bio)
        fail("cannot write " + path);
    return bio;
}

}  // namespace

TestCertificate::TestCertificate() {
    PkeyPtr key = makeP256Key();
    X509Ptr cert = makeSelfSigned(key.get());

    directory_ = makeTempDirectory();
    certFile_ = directory_ + "/cert.pem";
    keyFile_ = directory_ + "/key.pem";
    try {
        check(PEM_write_bio_X509(openForWrite(certFile_).get(), cert.get()), "PEM_write_bio_X509");
        check(PEM_write_bio_PrivateKey(openForWrite(keyFile_).get(), key.get(), nullptr, nullptr, 0,
                                       nullptr, nullptr),
              "PEM_write_bio_PrivateKey");
    } catch (...) {
        // The destructor does not run for a half-built object.
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
        throw;
    }
}

TestCertificate::~TestCertificate() {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

}  // namespace lexoria::test

#include <gtest/gtest.h>

#include <map>

#include "engine/ServiceAddresses.h"

namespace lexoria {
namespace {

TEST(ServiceAddresses, AcceptsHostsWithAnOptionalPort) {
    for (const char* good : {"translate.google.com", "127.0.0.1:8443", "localhost:1", "[::1]",
                             "[::1]:65535", "[fe80::1]:80", "my-host.example"}) {
        EXPECT_TRUE(isHostAndPort(good)) << good;
    }
    for (const char* bad : {"", "http://example.org", "host/path", "host:0", "host:65536",
                            "host:", "host:8x", "user@host", "-host", ".host", "[::1", "[]",
                            "[::g]", "[::1]x", "host name", "host:80:80"}) {
        EXPECT_FALSE(isHostAndPort(bad)) << bad;
    }
}

TEST(ServiceAddresses, TheEnvironmentOverridesEachAddress) {
    const std::map<std::string, std::string> environment = {
        {"LEXORIA_GOOGLE_HOST", "127.0.0.1:1"},
        {"LEXORIA_YANDEX_TRANSLATE_HOST", "127.0.0.1:2"},
        {"LEXORIA_YANDEX_DICTIONARY_HOST", "127.0.0.1:3"},
        {"LEXORIA_MICROSOFT_HOST", "127.0.0.1:4"},
        {"LEXORIA_BABYLON_HOST", ""},  // empty counts as unset
        {"LEXORIA_PROMT_HOST", "not a host"},
        {"LEXORIA_SITE_HOST", "[::1]:8088"}};
    ServiceAddresses addresses;
    std::vector<std::string> errors;
    addresses.applyEnvironment(
        [&](const char* name) -> std::optional<std::string> {
            const auto it = environment.find(name);
            return it == environment.end() ? std::nullopt : std::optional<std::string>(it->second);
        },
        errors);
    EXPECT_EQ(addresses.google, "127.0.0.1:1");
    EXPECT_EQ(addresses.yandexTranslate, "127.0.0.1:2");
    EXPECT_EQ(addresses.yandexDictionary, "127.0.0.1:3");
    EXPECT_EQ(addresses.microsoft, "127.0.0.1:4");
    EXPECT_EQ(addresses.babylon, ServiceAddresses{}.babylon);
    EXPECT_EQ(addresses.promt, ServiceAddresses{}.promt) << "a refused value changes nothing";
    EXPECT_EQ(addresses.site, "[::1]:8088");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("LEXORIA_PROMT_HOST"), std::string::npos);
}

TEST(ServiceAddresses, SiteDocumentsAreEscapedBehindAnUnescapedHost) {
    ServiceAddresses publicSite;
    publicSite.site = "[::1]:8088";
    ServiceAddresses installedCopy;
    installedCopy.site.clear();
    installedCopy.siteFolder = "/opt/my apps/share/lexoria/site";
    const struct {
        const ServiceAddresses& addresses;
        const char* path;
        const char* address;
    } rows[] = {
        {publicSite, "/", "http://[::1]:8088/"},
        {publicSite, "/data/uploads/a b.dmg", "http://[::1]:8088/data/uploads/a%20b.dmg"},
        {installedCopy, "/", "file:///opt/my%20apps/share/lexoria/site/index.html"},
        {installedCopy, "/lx.plist", "file:///opt/my%20apps/share/lexoria/site/lx.plist"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.addresses.siteAddress(row.path), row.address) << row.path;
    }
}

}  // namespace
}  // namespace lexoria

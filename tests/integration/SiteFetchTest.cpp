#include <gtest/gtest.h>

#include "LoopbackServer.h"
#include "TempDir.h"
#include "engine/HttpFetch.h"
#include "engine/ServiceAddresses.h"

namespace lexoria {
namespace {

using test::LoopbackServer;
using test::TempDir;

using test::writeFile;

std::optional<std::string> bodyOf(const std::optional<HttpAnswer>& answer) {
    return answer ? std::optional<std::string>(answer->body) : std::nullopt;
}

// A build without a public site reads its installed copy; a folder name with blanks and
// escapes must still reach the very files.
TEST(SiteFetch, ReadsTheInstalledCopyThroughItsFileAddress) {
    TempDir temp;
    const std::filesystem::path folder = temp.path() / "share 100%" / "site";
    writeFile(folder / "lx.plist", "<plist/>");
    writeFile(folder / "index.html", "home");
    writeFile(folder / "data" / "doc #1.txt", "document");
    ServiceAddresses addresses;
    addresses.site.clear();
    addresses.siteFolder = folder.string();

    const struct {
        const char* path;
        std::optional<std::string> body;
    } rows[] = {
        {"/lx.plist", "<plist/>"},
        {"/", "home"},
        {"/data/doc #1.txt", "document"},
        {"/missing.plist", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(bodyOf(siteGet(addresses.siteAddress(row.path), {}, defaultUserAgent())),
                  row.body)
            << row.path;
    }
}

// Only the site's own copy is read from disk: a service address, a redirect of a service
// or a redirect of the public site never reaches a local file.
TEST(SiteFetch, NoFileIsReadThroughAServiceOrARedirect) {
    TempDir temp;
    writeFile(temp.path() / "secret.txt", "secret");
    const std::string fileUrl = "file://" + (temp.path() / "secret.txt").string();
    LoopbackServer server;
    server.answer("/moved", {302, "text/html", "moved", {{"Location", fileUrl}}});

    EXPECT_EQ(httpGet(fileUrl, {}, defaultUserAgent()), std::nullopt);
    for (const auto& answer : {httpGet(server.baseUrl() + "/moved", {}, defaultUserAgent()),
                               siteGet(server.baseUrl() + "/moved", {}, defaultUserAgent())}) {
        EXPECT_NE(bodyOf(answer), "secret");
    }
}

}  // namespace
}  // namespace lexoria

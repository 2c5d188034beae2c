// Data files from the data service (a server inside the test) and from the import folder.
#include "catalog/data_service.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "catalog_fixture.h"
#include "core/settings.h"
#include "support/http_test_server.h"

namespace {

class DataServiceTest : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        saved = preferences;
        SetDownloadTimeouts(2, 1);
    }
    void TearDown() override {
        SetDownloadTimeouts(0, 0);
        preferences = saved;
        CatalogTest::TearDown();
    }
    void SetService(const std::string& url) { std::snprintf(preferences.dataUrl, sizeof preferences.dataUrl, "%s", url.c_str()); }
    void WriteImport(const std::string& name, const std::string& text) {
        ASSERT_TRUE(platform::WriteFileAtomically(root / "home" / "import" / name, text.data(), text.size()));
    }
    static std::string Text(const std::vector<std::uint8_t>& b) { return reinterpret_cast<const char*>(b.data()); }
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(kDownloadBufferSize, 0);
    Preferences saved;
};

TEST_F(DataServiceTest, TheRequestNamesTheFileEscapedAndCarriesTheAgent) {
    HttpTestServer server([](const std::string& target) {
        if (target.find("param6=page") != std::string::npos) return HttpTestReply{200, "<html>error page</html>"};
        return HttpTestReply{200, "0123456789"};
    });
    SetService(server.Url("/velkarion/"));
    ASSERT_EQ(FetchDataFile(kSourceDataService, "userlists/my list;1.txt", buffer.data()), 1);
    EXPECT_EQ(Text(buffer), "0123456789");
    EXPECT_EQ(buffer[10], 0);
    EXPECT_FALSE(IsFailedReply(buffer.data()));
    const auto head = server.Requests().at(0);
    EXPECT_EQ(head.substr(0, head.find("\r\n")),
              "GET /velkarion/getdata.php?param1=0&param2=65&param3=58274106&param4=30&param5=2&"
              "param6=userlists/my%20list%3B1.txt HTTP/1.1");
    EXPECT_NE(head.find("User-Agent: RozEraz\r\n"), std::string::npos);
    EXPECT_TRUE(Messages().empty());

    // A picture is asked the same way, as the other kind.
    EXPECT_EQ(DataServiceRequest("img/ngc/ngc224.jpg", kDataRequestPicture),
              server.Url("/velkarion") + "/getdata.php?param1=0&param2=65&param3=58274106&param4=30&param5=1&"
                                         "param6=img/ngc/ngc224.jpg");

    // An error page is a reply, but not a data file.
    ASSERT_EQ(FetchDataFile(kSourceDataService, "page", buffer.data()), 1);
    EXPECT_TRUE(IsFailedReply(buffer.data()));
}

TEST_F(DataServiceTest, FailuresAreShownWithTheAddress) {
    HttpTestServer server([](const std::string& target) {
        if (target.find("slow") != std::string::npos) return HttpTestReply{200, "abc", HttpTestReply::Stall};
        return HttpTestReply{404, "<html>no</html>"};
    });
    int closedPort = 0;
    {
        HttpTestServer gone([](const std::string&) { return HttpTestReply{}; });
        closedPort = gone.Port();
    }
    const std::string closed = "http://127.0.0.1:" + std::to_string(closedPort) + "/x";
    const struct {
        std::string url;
        std::string message;
    } cases[] = {
        {server.Url("/missing"), "Failed to open URL\n" + server.Url("/missing")},
        {closed, "Web is not reachable\n" + closed},
        {server.Url("/slow"), "The data service stopped answering\n" + server.Url("/slow") +
                                  "\nNothing came for 1 seconds, or not all of it within 60 seconds; what arrived was not kept."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        ClearRecordedReports();
        EXPECT_EQ(LoadFileFromUrl(c.url.c_str(), buffer.data(), buffer.size()), 0u);
        EXPECT_EQ(buffer[0], 0);
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0].substr(0, c.message.size()), c.message);
    }
    ClearRecordedReports();
    EXPECT_EQ(LoadFileFromUrl(server.Url("/x").c_str(), nullptr, 10), 0u);
    EXPECT_EQ(Messages(), std::vector<std::string>{"LoadFileFromUrl\nNull buffer pointer"});

    // No address set: nothing is tried.
    ClearRecordedReports();
    preferences.dataUrl[0] = 0;
    EXPECT_EQ(FetchDataFile(kSourceDataService, "objects.txt", buffer.data()), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Web is not reachable\nNo data service address is set (preference 7/7)"});
}

// What is not the whole text is no text: a body cut short, one too large for the buffer,
// one with a NUL byte, one still trickling when the time is up, and one the user ended all
// fail with their reason, and the buffer holds nothing of them.
TEST_F(DataServiceTest, APartialOrBrokenTextIsRefusedWhole) {
    HttpTestServer server([](const std::string& target) {
        const std::string name = target.substr(target.rfind('=') + 1);
        if (name == "cut") return HttpTestReply{200, "Wideview;WDU;Wide 13mm;13;8", HttpTestReply::Cut};
        if (name == "large") return HttpTestReply{200, std::string(70000, 'x')};
        if (name == "nul") return HttpTestReply{200, std::string("Wideview;WDU;") + '\0' + "Wide 13mm;13;82;\n"};
        if (name == "trickle") return HttpTestReply{200, std::string(200, 'x'), HttpTestReply::Trickle};
        return HttpTestReply{200, std::string(65534, 'x')};
    });
    SetService(server.Url("/"));
    SetDownloadTimeouts(2, 5, 1);
    const struct {
        std::string name;
        std::string message;
    } cases[] = {
        {"cut", "The download was cut short; nothing was changed\n"},
        {"large", "The file is larger than 65534 bytes; nothing was changed\n"},
        {"nul", "The file holds a NUL byte: it is not a text file; nothing was changed\n"},
        {"trickle", "The data service stopped answering\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearRecordedReports();
        std::fill(buffer.begin(), buffer.end(), 0);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(FetchDataFile(kSourceDataService, c.name.c_str(), buffer.data()), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0), static_cast<long>(buffer.size()));
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0].substr(0, c.message.size()), c.message);
    }
    // The largest text that fits.
    ClearRecordedReports();
    EXPECT_EQ(FetchDataFile(kSourceDataService, "fits", buffer.data()), 1);
    EXPECT_TRUE(Messages().empty());
    // A body that is no text (a picture) keeps what fits, for its caller's size check.
    EXPECT_EQ(LoadFileFromUrl(DataServiceRequest("large").c_str(), buffer.data(), buffer.size()), 15u * 4096u);
    EXPECT_TRUE(Messages().empty());

    // The busy indicator's cancel ends a transfer at once.
    SetDownloadTimeouts(2, 5, 30);
    ReportHooks hooks;
    hooks.busyCancelled = [] { return true; };
    SetReportHooks(hooks);
    ClearRecordedReports();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(FetchDataFile(kSourceDataService, "trickle", buffer.data()), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    SetReportHooks(ReportHooks{});
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].substr(0, 43), "The download was ended; nothing was changed");
}

TEST_F(DataServiceTest, TheImportFolderIsReadWholeUpToItsLimitAndCutAtALineEnd) {
    WriteImport("mylist.txt", "a;b\n");
    ASSERT_EQ(FetchDataFile(kSourceImportFolder, "userlists/mylist.txt", buffer.data()), 1);
    EXPECT_EQ(Text(buffer), "a;b\n");
    EXPECT_EQ(FetchDataFile(kSourceImportFolder, "missing.txt", buffer.data()), 0);

    // 63 blocks of 1024 bytes exactly: all of it.
    std::string line(63, 'x');
    line += '\n';
    std::string exact;
    while (exact.size() < kLocalImportLimit) exact += line;
    ASSERT_EQ(exact.size(), kLocalImportLimit);
    WriteImport("exact.txt", exact);
    ASSERT_EQ(FetchDataFile(kSourceImportFolder, "exact.txt", buffer.data()), 1);
    EXPECT_EQ(Text(buffer), exact);
    EXPECT_TRUE(Messages().empty());

    // Longer: the text ends after the last whole line, and the user is told.
    std::string longer = exact.substr(0, kLocalImportLimit - 10) + std::string(30, 'y') + "\nmore\n";
    WriteImport("long.txt", longer);
    ASSERT_EQ(FetchDataFile(kSourceImportFolder, "long.txt", buffer.data()), 1);
    EXPECT_EQ(Text(buffer), exact.substr(0, kLocalImportLimit - 64));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].substr(0, 48), "Only the first 64512 bytes of long.txt were read");
}

}  // namespace

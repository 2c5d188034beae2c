// The orbit assistant's Data page: a new record saved, values refused, a record deleted,
// and the imports of the Center's lines from a file and from the two addresses.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "catalog/mpc_lines.h"
#include "core/settings.h"
#include "planets/orbit_data_page.h"
#include "planets/orbit_fixture.h"
#include "support/http_test_server.h"
#include "shell/text_input.h"

using namespace orbit_form;

namespace {

class OrbitDataPage : public OrbitFormTest {
protected:
    void OpenData() {
        WriteComets({EnckeLike("A"), EnckeLike("B"), EnckeLike("C")});
        S().page = kData;
        Open();
    }
    std::string LastReport() { return RecordedReports().empty() ? "" : ReportText(RecordedReports().size() - 1); }
    void WriteImport(const std::string& name, const std::string& text) {
        std::ofstream(root / "home" / "import" / name, std::ios::binary) << text;
    }
    // Runs Import and answers its file name.
    void Import(const std::string& name) {
        Command(kImport);
        ASSERT_EQ(platform::ModalStack().size(), 1u);
        const platform::Window modal = platform::ModalStack()[0];
        Type(name);
        TapWindow(platform::GetDialogItem(modal, platform::kIdOk));
        RunUntilIdle();
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const CometRecord& r : ReadComets()) names.push_back(r.name);
        return names;
    }
};

TEST_F(OrbitDataPage, NewThenSaveAppendsARecordThatReadsBack) {
    OpenData();
    Command(kNew);
    EXPECT_EQ(S().currentComet, -1);
    EXPECT_EQ(Label(kCometPopup), "<New>");
    EXPECT_TRUE(Visible(kName));
    EXPECT_EQ(Text(kName), "New comet");
    EXPECT_EQ(Text(kYear), "2005");
    EXPECT_EQ(Text(kDistance), "1.00000");
    SetText(kName, "C/2024 Z9");
    SetText(kDay, "12.2500");
    SetText(kDistance, "0.75");
    SetText(kInclination, "120.5");
    Command(kSave);
    const std::vector<CometRecord> comets = ReadComets();
    ASSERT_EQ(comets.size(), 4u);
    const CometRecord& r = comets[3];
    EXPECT_STREQ(r.name, "C/2024 Z9");
    EXPECT_EQ(r.kind, 13u);
    EXPECT_EQ(r.year, 2005);
    EXPECT_EQ(r.month, 1);
    EXPECT_FLOAT_EQ(r.perihelionDay, 12.25f);
    EXPECT_FLOAT_EQ(r.perihelionDistance, 0.75f);
    EXPECT_FLOAT_EQ(r.eccentricity, 1.0f);
    EXPECT_FLOAT_EQ(r.inclination, 120.5f);
    EXPECT_EQ(S().currentComet, 3);
    EXPECT_EQ(Label(kCometPopup), "C/2024 Z9");
    // Saving a record in place keeps the count.
    SetText(kEccentricity, "0.5");
    Command(kSave);
    ASSERT_EQ(ReadComets().size(), 4u);
    EXPECT_FLOAT_EQ(ReadComets()[3].eccentricity, 0.5f);
}

TEST_F(OrbitDataPage, SaveRefusesBadValuesAndWritesNothing) {
    OpenData();
    const auto path = root / "home" / "usercatalogs" / "data" / kCometFile;
    const auto before = std::filesystem::file_size(path);
    struct Case {
        int field;
        const char* text;
        const char* message;
    } const cases[] = {{kDistance, "0", "q must be above 0."},     {kDay, "40", "The date is not valid."},
                       {kMonth, "13", "The date is not valid."},   {kInclination, "181", "inclination"},
                       {kNode, "-1", "ascending node"},            {kEccentricity, "x", "e is not a number."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Command(kCometList, 0);
        Call([] { RefreshOrbitForm(0); });
        SetText(c.field, c.text);
        ClearRecordedReports();
        Command(kSave);
        EXPECT_NE(LastReport().find("The comet was not saved."), std::string::npos);
        EXPECT_NE(LastReport().find(c.message), std::string::npos) << LastReport();
        EXPECT_FLOAT_EQ(ReadComets()[0].perihelionDistance, EnckeLike().perihelionDistance);
    }
    EXPECT_EQ(std::filesystem::file_size(path), before);
    EXPECT_EQ(ReadComets().size(), 3u);
}

int AnswerNo(const char*, const char*) { return 1; }

TEST_F(OrbitDataPage, DeleteAsksAndRemovesOnlyAfterYes) {
    OpenData();
    Press(platform::kKeyDown);
    ASSERT_EQ(S().currentComet, 1);
    const ReportHooks saved = SetReportHooks(ReportHooks{nullptr, &AnswerNo, nullptr, nullptr, nullptr});
    Command(kDelete);
    SetReportHooks(saved);
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B", "C"}));
    ClearRecordedReports();
    Command(kDelete);
    EXPECT_EQ(LastReport(), "Delete B?\n");
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(S().currentComet, 1);
    EXPECT_EQ(Label(kCometPopup), "C");
}

TEST_F(OrbitDataPage, ImportAddsThenRenewsAndCountsRefusedLines) {
    OpenData();
    WriteImport("elements.txt", CometLine("C/2023 A3") + "\n" + AsteroidLine() + "\r\nbroken line\n\n");
    ClearRecordedReports();
    Import("elements");
    EXPECT_NE(LastReport().find("2 lines added, 0 renewed, 1 refused, 0 left out."), std::string::npos)
        << LastReport();
    std::vector<CometRecord> comets = ReadComets();
    ASSERT_EQ(comets.size(), 5u);
    EXPECT_STREQ(comets[3].name, "C/2023 A3");
    EXPECT_FLOAT_EQ(comets[3].magnitude2, 10.0f);  // k = 2.5 x 4.0
    EXPECT_STREQ(comets[4].name, "(1) Ceres");
    EXPECT_EQ(comets[4].kind, 18u);
    EXPECT_EQ(comets[4].year, 2009);  // 113 degrees of mean anomaly before July 2010
    // Again: the same names are renewed, never doubled.
    WriteImport("elements.txt", CometLine("C/2023 A3") + "\n" + AsteroidLine() + "\nbroken line\n");
    Import("elements.txt");
    EXPECT_NE(LastReport().find("0 lines added, 2 renewed, 1 refused"), std::string::npos) << LastReport();
    EXPECT_EQ(ReadComets().size(), 5u);
}

TEST_F(OrbitDataPage, ImportReadsALargeFileWhole) {
    OpenData();
    std::string text;
    std::size_t lines = 0;
    for (; text.size() < 70000; ++lines) text += CometLine("C/2000 X" + std::to_string(lines)) + "\n";
    WriteImport("big.txt", text);
    Import("big");
    EXPECT_EQ(ReadComets().size(), 3 + lines);
    EXPECT_STREQ(ReadComets().back().name, ("C/2000 X" + std::to_string(lines - 1)).c_str());
    EXPECT_NE(LastReport().find("0 refused"), std::string::npos) << LastReport();
}

TEST_F(OrbitDataPage, SyncImportsBothAddressesOrChangesNothing) {
    OpenData();
    bool refuse = false;
    HttpTestServer server([&](const std::string& target) {
        HttpTestReply reply;
        if (refuse) {
            reply.status = 404;
            return reply;
        }
        reply.body = target.find("cmt") != std::string::npos ? CometLine("C/2023 A3") + "\n" : AsteroidLine() + "\n";
        return reply;
    });
    std::snprintf(preferences.cometUrl, sizeof preferences.cometUrl, "%s", server.Url("/cmt.txt").c_str());
    std::snprintf(preferences.asteroidUrl, sizeof preferences.asteroidUrl, "%s", server.Url("/ast.txt").c_str());
    Command(kSync);
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B", "C", "C/2023 A3", "(1) Ceres"}));
    refuse = true;
    ClearRecordedReports();
    Command(kSync);
    EXPECT_EQ(ReadComets().size(), 5u);
    EXPECT_NE(LastReport().find("127.0.0.1"), std::string::npos) << LastReport();
}

}  // namespace

// Observing-list files: what loads, what is refused, and what an automatic save may
// replace.
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/selection_list.h"
#include "catalog/user_lists.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "catalog_fixture.h"

namespace fs = std::filesystem;

namespace {

class UserListsTest : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        ASSERT_EQ(AllocSelectionList(), 1);
        fs::create_directories(Lists());
    }
    void TearDown() override {
        FreeSelectionList();
        CatalogTest::TearDown();
    }
    fs::path Lists() const { return root / "home" / "userlists"; }

    // A list file whose header counts `claimed` objects, followed by `bytes` of records:
    // record i is labelled "Ni" and numbered i + 1.
    static std::vector<std::uint8_t> ListBytes(std::int32_t claimed, std::size_t bytes) {
        std::vector<std::uint8_t> b(kUserListHeaderSize + bytes, 0);
        std::memcpy(b.data() + 4, "mine", 4);
        le::PutI32(b.data(), 44, 2024);
        le::PutI32(b.data(), 48, 3);
        le::PutI32(b.data(), 64, claimed);
        for (std::size_t i = 0; (i + 1) * sizeof(SelectionRecord) <= bytes; ++i) {
            std::uint8_t* r = b.data() + kUserListHeaderSize + i * sizeof(SelectionRecord);
            const std::string label = "N" + std::to_string(i);
            std::memcpy(r, label.data(), label.size());
            le::PutI32(r, 16, static_cast<std::int32_t>(i + 1));
        }
        return b;
    }
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        ASSERT_TRUE(platform::WriteFileAtomically(Lists() / name, bytes.data(), bytes.size()));
    }
    // The list in memory before each load: two objects.
    void PreviousList() {
        for (int i = 0; i < 2; ++i) {
            std::strcpy(selectionList.records[i].label, i ? "M42" : "M31");
            selectionList.records[i].objectNumber = i ? 42 : 31;
        }
        selectionList.recordCount = 2;
        selectionList.indexCount = 2;
    }
};

}  // namespace

// A list longer than the selection list loads what fits, says so, and the longer file is
// kept: the program never writes it back cut unless the user saves the list.
TEST_F(UserListsTest, LongListLoadsWhatFitsAndKeepsTheFile) {
    const int fits = selectionList.capacity - 1;
    const int claimed = fits + 400;
    const auto bytes = ListBytes(claimed, static_cast<std::size_t>(claimed) * sizeof(SelectionRecord));
    Write("big.lst", bytes);

    ASSERT_EQ(LoadUserList("big.lst", 0), 1);
    EXPECT_EQ(selectionList.recordCount, fits);
    EXPECT_EQ(selectionList.indexCount, fits);
    EXPECT_STREQ(selectionList.records[fits - 1].label, ("N" + std::to_string(fits - 1)).c_str());
    EXPECT_EQ(selectionList.records[fits].objectNumber, -1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Only " + std::to_string(fits) + " of " + std::to_string(claimed) +
                                                   " objects of big were loaded\n" + (Lists() / "big.lst").string() +
                                                   " keeps all " + std::to_string(claimed) +
                                                   "; it is not saved over unless you save the list."});

    EXPECT_EQ(SaveUserList("big", ListSave::Automatic), 0);
    EXPECT_EQ(Bytes(Lists() / "big.lst"), bytes);
    // Other lists save as usual, and the user's own save is the user's choice.
    EXPECT_EQ(SaveUserList("other", ListSave::Automatic), 1);
    EXPECT_EQ(SaveUserList("big"), 1);
    EXPECT_EQ(fs::file_size(Lists() / "big.lst"), kUserListHeaderSize + fits * sizeof(SelectionRecord));
    EXPECT_EQ(SaveUserList("big", ListSave::Automatic), 1) << "once saved by the user it is the user's list";
}

TEST_F(UserListsTest, DamagedListsLeaveTheListInMemoryAndTheFile) {
    const std::size_t record = sizeof(SelectionRecord);
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::string message;
    } cases[] = {
        {"short header", std::vector<std::uint8_t>(40, 1),
         "Can't read header.\n%: it is shorter than a list header (68 bytes)"},
        {"50.5 of 100 records", ListBytes(100, 50 * record + record / 2),
         "Can't read data.\n%: its header counts 100 objects but the file holds 50"},
        {"2^31 records", ListBytes(INT32_MIN, 3 * record), "Can't read header.\n%: its header counts -2147483648 objects"},
        {"2^31 - 1 records", ListBytes(INT32_MAX, 3 * record),
         "Can't read data.\n%: its header counts 2147483647 objects but the file holds 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PreviousList();
        ClearRecordedReports();
        Write("bad.lst", c.bytes);
        EXPECT_EQ(LoadUserList("bad.lst", 0), 0);
        std::string expected = c.message;
        expected.replace(expected.find('%'), 1, (Lists() / "bad.lst").string());
        EXPECT_EQ(Messages(), std::vector<std::string>{expected + ".\nThe file was left as it is."});
        EXPECT_EQ(selectionList.recordCount, 2);
        EXPECT_EQ(selectionList.indexCount, 2);
        EXPECT_STREQ(selectionList.records[1].label, "M42");
        EXPECT_EQ(SaveUserList("bad", ListSave::Automatic), 0);
        EXPECT_EQ(Bytes(Lists() / "bad.lst"), c.bytes);
    }
    // A folder where the file belongs stays a folder.
    fs::create_directories(Lists() / "dir.lst" / "inside");
    ClearRecordedReports();
    EXPECT_EQ(LoadUserList("dir.lst", 0), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Can't read header.\n" + (Lists() / "dir.lst").string() +
                                                   ": it is a folder, not a file.\nThe file was left as it is."});
    EXPECT_EQ(SaveUserList("dir", ListSave::Automatic), 0);
    EXPECT_TRUE(fs::is_directory(Lists() / "dir.lst" / "inside"));
    // A missing list is no fault.
    ClearRecordedReports();
    EXPECT_EQ(LoadUserList("none.lst", 0), 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(UserListsTest, LabelsReadFromAFileEndInTheirRecord) {
    auto bytes = ListBytes(1, sizeof(SelectionRecord));
    std::memset(bytes.data() + kUserListHeaderSize, 'X', 15);
    Write("x.lst", bytes);
    ASSERT_EQ(LoadUserList("x.lst", 0), 1);
    EXPECT_STREQ(selectionList.records[0].label, "XXXXXXXXXXXXXX");
}

TEST_F(UserListsTest, FailedSaveNamesTheFileAndKeepsTheOldOne) {
    PreviousList();
    ASSERT_EQ(SaveUserList("a"), 1);
    const auto before = Bytes(Lists() / "a.lst");
    selectionList.recordCount = 1;
    fs::create_directories(Lists() / ("a.lst.vktmp-" + std::to_string(::getpid())));
    EXPECT_EQ(SaveUserList("a"), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Can't write header.\n" + (Lists() / "a.lst").string() +
                                                   ": Is a directory.\nThe file on disk was left as it was."});
    EXPECT_EQ(Bytes(Lists() / "a.lst"), before);
}

TEST_F(UserListsTest, UnusableHomeTakesNoAutomaticSave) {
    PreviousList();
    const fs::path home = root / "home-file";
    ASSERT_TRUE(platform::WriteFileAtomically(home, "mine", 4));
    platform::SetHomeRoot(home);
    ASSERT_NE(platform::PrepareHomeFolder(), "");
    EXPECT_EQ(SaveUserList("last_list", ListSave::Automatic), 0);
    EXPECT_TRUE(Messages().empty()) << "the user was told once, at start";
    EXPECT_EQ(Bytes(home), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
}

// Every byte of every record comes back, the header's reserved bytes are written as 0, and
// an empty list writes nothing over the file.
TEST_F(UserListsTest, ARoundTripKeepsEveryRecordAndAnEmptyListWritesNothing) {
    const int n = 3;
    for (int i = 0; i < n; ++i) {
        auto* bytes = reinterpret_cast<std::uint8_t*>(&selectionList.records[i]);
        for (std::size_t k = 0; k < sizeof(SelectionRecord); ++k) bytes[k] = static_cast<std::uint8_t>(i * 31 + k);
        selectionList.records[i].label[14] = '\0';
    }
    std::vector<SelectionRecord> saved(selectionList.records, selectionList.records + n);
    selectionList.recordCount = n;
    selectionList.indexCount = n;
    selectionCriteria.year = 2025, selectionCriteria.month = 2, selectionCriteria.day = 3;
    selectionCriteria.hour = 4, selectionCriteria.minute = 5;
    ASSERT_EQ(SaveUserList("trip"), 1);
    ASSERT_EQ(SaveUserList("trip"), 1) << "a second save replaces the file";
    const auto bytes = Bytes(Lists() / "trip.lst");
    ASSERT_EQ(bytes.size(), kUserListHeaderSize + n * sizeof(SelectionRecord));
    EXPECT_EQ(le::I32(bytes.data(), 0), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + 4), "trip");
    EXPECT_EQ(le::I32(bytes.data(), 60), 5);

    std::memset(selectionList.records, 0, n * sizeof(SelectionRecord));
    selectionCriteria.year = 0;
    ASSERT_EQ(LoadUserList("trip.lst", 0), 1);
    EXPECT_EQ(selectionList.recordCount, n);
    EXPECT_EQ(std::memcmp(selectionList.records, saved.data(), n * sizeof(SelectionRecord)), 0);
    EXPECT_EQ(selectionList.records[n].objectNumber, -1);
    EXPECT_EQ(selectionCriteria.year, 2025);
    EXPECT_EQ(selectionCriteria.minute, 5);

    selectionList.recordCount = 0;
    EXPECT_EQ(SaveUserList("trip"), 0);
    EXPECT_EQ(Bytes(Lists() / "trip.lst"), bytes);
    EXPECT_TRUE(Messages().empty());
}

// Choosing a user catalog opens it as the user objects and keeps it open; a file of another
// kind is not taken.
TEST_F(UserListsTest, AChosenUserCatalogStaysOpen) {
    WriteFile(root / "home" / "usercatalogs" / "mine.ppc", 0, kCreatorUserObjects, kUserObjectRecordSize, 2,
              [](std::uint32_t i, std::uint8_t* r) {
                  ObjectRef o;
                  o.catalog = kCatalogUser;
                  o.number = i + 1;
                  std::snprintf(o.name, sizeof o.name, "Mine %u", i + 1);
                  EncodeUserObjectRecord(o, r);
              });
    const Preferences saved = preferences;
    WriteFile(root / "home" / "usercatalogs" / "eyes.ppc", 0, kCreatorEyepieces, 72, 1, [](std::uint32_t, std::uint8_t*) {});
    ASSERT_EQ(LoadUserList("mine.ppc", 1), 1);
    EXPECT_STREQ(preferences.userCatalogFile, "mine.ppc");
    ASSERT_EQ(GetUserObjectCount(), 2);
    ObjectRef o;
    ASSERT_EQ(GetUserObject(1, &o), 1);
    EXPECT_STREQ(o.name, "Mine 2");

    EXPECT_EQ(LoadUserList("eyes.ppc", 1), 0);
    EXPECT_EQ(GetUserObjectCount(), 0);
    EXPECT_EQ(Messages().back().substr(0, 28), "This is not a user catalog.\n");
    preferences = saved;
}

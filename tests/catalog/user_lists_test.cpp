// Observing-list files: what loads, what is refused, and what an automatic save may
// replace.
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/selection_list.h"
#include "catalog/user_lists.h"
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

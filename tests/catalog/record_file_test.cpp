#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <set>

#include "catalog/byte_order.h"
#include "catalog_fixture.h"

namespace fs = std::filesystem;

namespace {

std::uint32_t HeaderField(const std::vector<std::uint8_t>& bytes, int field) {
    return le::U32(bytes.data(), 4 * static_cast<std::size_t>(field));
}

// A writable database of `count` records of `size` bytes; byte 0 of record i is i + 1 and
// the rest of it i's low byte, so every record can be recognised after moves.
class RecordFileTest : public CatalogTest {
protected:
    void MakeDb(std::uint32_t size, std::uint32_t count) {
        CloseDb(db);
        fs::create_directories(Path().parent_path());
        WriteFile(Path(), 0, 0x706c3131, size, count, [&](std::uint32_t i, std::uint8_t* rec) {
            std::fill(rec, rec + size, static_cast<std::uint8_t>(i));
            rec[0] = static_cast<std::uint8_t>(i + 1);
        });
        ASSERT_EQ(OpenDb(db, 0x706c3131, kTypeCodeQvn1, 1, "data\\", "t.ppc"), 1);
    }
    fs::path Path() const { return UserCopy("t.ppc"); }
    // Byte 0 of each slot of the file, past the count too.
    std::vector<int> SlotMarks(std::uint32_t size, std::uint32_t slots) const {
        auto bytes = Bytes(Path());
        std::vector<int> marks;
        for (std::uint32_t i = 0; i < slots; ++i) marks.push_back(bytes[kRecordFileHeaderSize + i * size]);
        return marks;
    }
    RecordFilePtr db;
};

}  // namespace

TEST_F(RecordFileTest, FreshFileTakesItsRecordSizeFromTheFirstAppend) {
    ASSERT_EQ(CreateRecordFile("data\\t.ppc", kTypeCodeQvn1, 0x706c3330), 0);
    auto header = Bytes(Path());
    ASSERT_EQ(header.size(), 16u);
    EXPECT_EQ(HeaderField(header, 0), 0u);
    EXPECT_EQ(HeaderField(header, 1), 0x706c3330u);
    EXPECT_EQ(HeaderField(header, 2), 0u);
    EXPECT_EQ(HeaderField(header, 3), 0u);

    ASSERT_EQ(OpenDb(db, 0x706c3330, kTypeCodeQvn1, 1, "data\\", "t.ppc"), 1);
    std::uint8_t rec[64];
    std::iota(rec, rec + 64, 1);
    ASSERT_EQ(WriteDbRecord(db, kAppendRecord, rec, sizeof rec), 1);
    EXPECT_EQ(db->recordSize, 64u);
    auto bytes = Bytes(Path());
    ASSERT_EQ(bytes.size(), 80u);
    EXPECT_EQ(HeaderField(bytes, 2), 1u);
    EXPECT_EQ(HeaderField(bytes, 3), 64u);
    EXPECT_EQ(std::memcmp(bytes.data() + 16, rec, 64), 0);

    std::uint8_t back[64] = {};
    ASSERT_EQ(GetDbRecord(db, 0, back, sizeof back), 1);
    EXPECT_EQ(std::memcmp(back, rec, 64), 0);
}

TEST_F(RecordFileTest, RemovalMovesLaterRecordsDownAndClearsTheLastSlot) {
    struct Case {
        std::uint32_t size, count, removed;
    };
    // First, middle and last of three small records; one with more than 16384 bytes after it.
    for (const Case c : {Case{20, 3, 0}, Case{20, 3, 1}, Case{20, 3, 2}, Case{100, 400, 5}}) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << " count " << c.count << " removed " << c.removed);
        MakeDb(c.size, c.count);
        const auto lengthBefore = fs::file_size(Path());
        ASSERT_EQ(DeleteDbRecord(db, static_cast<int>(c.removed)), 1);

        EXPECT_EQ(GetDbRecordCount(db, 1), static_cast<int>(c.count - 1));
        auto bytes = Bytes(Path());
        EXPECT_EQ(bytes.size(), lengthBefore);
        EXPECT_EQ(HeaderField(bytes, 2), c.count - 1);
        std::vector<int> expected;
        for (std::uint32_t i = 0; i < c.count; ++i)
            if (i != c.removed) expected.push_back(static_cast<int>((i + 1) & 0xFF));
        expected.push_back(0);
        EXPECT_EQ(SlotMarks(c.size, c.count), expected);
        // Whole records moved, not just their first bytes.
        std::vector<std::uint8_t> rec(c.size);
        const std::uint32_t probe = c.count - 2;
        ASSERT_EQ(GetDbRecord(db, static_cast<std::uint16_t>(probe), rec.data(), rec.size()), 1);
        const std::uint32_t original = probe >= c.removed ? probe + 1 : probe;
        EXPECT_EQ(rec.back(), static_cast<std::uint8_t>(original));
        for (std::size_t i = 0; i < c.size; ++i)
            ASSERT_EQ(bytes[16 + (c.count - 1) * c.size + i], 0) << "slot past the count is cleared";
        CloseDb(db);
    }
}

TEST_F(RecordFileTest, AppendAfterRemovalReusesTheClearedSlot) {
    MakeDb(20, 3);
    ASSERT_EQ(DeleteDbRecord(db, 0), 1);
    const auto length = fs::file_size(Path());
    std::uint8_t rec[20];
    std::memset(rec, 9, sizeof rec);
    ASSERT_EQ(WriteDbRecord(db, kAppendRecord, rec, sizeof rec), 1);
    EXPECT_EQ(fs::file_size(Path()), length);
    EXPECT_EQ(SlotMarks(20, 3), (std::vector<int>{2, 3, 9}));
    EXPECT_EQ(HeaderField(Bytes(Path()), 2), 3u);
}

TEST_F(RecordFileTest, DeleteOutsideTheRecordsChangesNothing) {
    MakeDb(20, 3);
    const auto before = Bytes(Path());
    EXPECT_EQ(DeleteDbRecord(db, 3), 1);
    EXPECT_EQ(DeleteDbRecord(db, -1), 1);
    EXPECT_EQ(Bytes(Path()), before);
    EXPECT_EQ(GetDbRecordCount(db, 1), 3);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(RecordFileTest, ClosedDatabaseWritesAndDeletesReportIt) {
    std::uint8_t rec[4] = {};
    EXPECT_EQ(WriteDbRecord(db, kAppendRecord, rec, sizeof rec), 0);
    EXPECT_EQ(DeleteDbRecord(db, 0), 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Database isn't open!\n", "Database isn't open!\n"}));
    std::uint16_t version = 7;
    EXPECT_EQ(GetDbVersion(db, &version), 0);
    EXPECT_EQ(version, 0);
    EXPECT_EQ(GetDbRecord(db, 0, rec, sizeof rec), 0);
    EXPECT_EQ(GetDbRecordCount(db, 3), 0);
}

TEST_F(RecordFileTest, FailedUpdatesWriteNothingAndSayWhy) {
    MakeDb(20, 2);
    const auto before = Bytes(Path());
    // The new file cannot be written (its temporary name is taken by a folder), as on a
    // full or failing disk.
    const fs::path blocker = Path().string() + ".vktmp-" + std::to_string(::getpid());
    fs::create_directories(blocker);
    ClearRecordedReports();
    std::uint8_t rec[20];
    std::memset(rec, 7, sizeof rec);
    EXPECT_EQ(WriteDbRecord(db, kAppendRecord, rec, sizeof rec), 0);
    EXPECT_EQ(WriteDbRecord(db, 0, rec, sizeof rec), 0);
    EXPECT_EQ(DeleteDbRecord(db, 0), 0);
    EXPECT_EQ(db->recordCount, 2u);
    EXPECT_EQ(Bytes(Path()), before);
    const std::string why = "Can't write data.\n" + Path().string() +
                            ": Is a directory.\nThe file on disk was left as it was.";
    EXPECT_EQ(Messages(), (std::vector<std::string>{why, why, why}));
    // The handle still reads the file it had.
    std::uint8_t back[20];
    ASSERT_EQ(GetDbRecord(db, 1, back, sizeof back), 1);
    EXPECT_EQ(back[0], 2);
    fs::remove(blocker);
    EXPECT_EQ(WriteDbRecord(db, kAppendRecord, rec, sizeof rec), 1);

    // A read-only database refuses appends without touching the file.
    RecordFilePtr shipped;
    WriteFile(Data("r.ppc"), 0, 1, 20, 1, [](std::uint32_t, std::uint8_t*) {});
    ASSERT_EQ(OpenDb(shipped, 1, kTypeCodeQvn1, 0, "data\\", "r.ppc"), 1);
    EXPECT_EQ(WriteDbRecord(shipped, kAppendRecord, rec, sizeof rec), 0);
    EXPECT_EQ(GetDbRecordCount(shipped, 1), 1);
}

// A run killed in the middle of updates leaves the file as it was before one update or
// after it: never a torn or duplicated record, never a count that disagrees with them.
TEST_F(RecordFileTest, KilledDuringUpdatesLeavesAWholeFile) {
    constexpr std::uint32_t kSize = 1000;
    MakeDb(kSize, 50);
    CloseDb(db);
    int records = 50;
    for (int run = 0; run < 30; ++run) {
        SCOPED_TRACE(run);
        const pid_t child = ::fork();
        if (child == 0) {
            // Append a record whose every byte is its stamp, remove the oldest, again.
            RecordFilePtr own;
            if (OpenDb(own, 0x706c3131, kTypeCodeQvn1, 1, "data\\", "t.ppc") != 1) ::_exit(2);
            std::vector<std::uint8_t> rec(kSize);
            for (std::uint32_t stamp = 1000 * (run + 1);; ++stamp) {
                std::fill(rec.begin(), rec.end(), static_cast<std::uint8_t>(stamp));
                rec[0] = static_cast<std::uint8_t>(stamp >> 8);
                if (WriteDbRecord(own, kAppendRecord, rec.data(), rec.size()) != 1) ::_exit(3);
                if (DeleteDbRecord(own, 0) != 1) ::_exit(4);
            }
        }
        ::usleep(static_cast<useconds_t>(2000 + run * 700));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the updates stopped by themselves: " << WEXITSTATUS(status);

        ASSERT_EQ(OpenDb(db, 0x706c3131, kTypeCodeQvn1, 1, "data\\", "t.ppc"), 1);
        // Each update pair adds one record and removes one.
        const int count = GetDbRecordCount(db, 1);
        EXPECT_TRUE(count == records || count == records + 1) << count << " after " << records;
        records = count;
        std::set<std::vector<std::uint8_t>> seen;
        std::vector<std::uint8_t> rec(kSize);
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(GetDbRecord(db, static_cast<std::uint16_t>(i), rec.data(), rec.size()), 1);
            EXPECT_TRUE(std::all_of(rec.begin() + 1, rec.end(), [&](std::uint8_t b) { return b == rec[1]; }))
                << "record " << i << " is torn";
            EXPECT_TRUE(seen.insert(rec).second) << "record " << i << " is there twice";
        }
        CloseDb(db);
        // The killed run may have left its temporary file; the next start removes it.
        platform::PrepareHomeFolder();
        for (const auto& entry : fs::directory_iterator(Path().parent_path()))
            EXPECT_EQ(entry.path().filename().string().find(".vktmp-"), std::string::npos) << entry.path();
    }
}

TEST_F(RecordFileTest, WritesOverAnExistingRecordOnly) {
    MakeDb(8, 2);
    std::uint8_t rec[12];
    std::memset(rec, 0xAB, sizeof rec);
    EXPECT_EQ(WriteDbRecord(db, 1, rec, sizeof rec), 1);  // cut to the record size
    EXPECT_EQ(WriteDbRecord(db, 2, rec, sizeof rec), 0);  // no record 2
    auto bytes = Bytes(Path());
    EXPECT_EQ(bytes.size(), 16u + 2 * 8);
    EXPECT_EQ(bytes[16 + 8], 0xAB);
    EXPECT_EQ(bytes[16 + 15], 0xAB);
}

TEST_F(RecordFileTest, CountsAreReportedModulo65536) {
    WriteFile(Data("big.ppc"), 3, 1, 1, 70000, [](std::uint32_t, std::uint8_t*) {});
    ASSERT_EQ(OpenDb(db, 1, kTypeCodeQvn1, 0, "data\\", "big.ppc"), 1);
    EXPECT_EQ(GetRecordCount(db.get()), 70000 % 65536);
    EXPECT_EQ(GetDbRecordCount(db, 2), 2 * (70000 % 65536));
    std::uint16_t version = 0, count = 0;
    GetRecordFileInfo(db.get(), &version, &count);
    EXPECT_EQ(version, 3);
    EXPECT_EQ(count, 70000 % 65536);
    EXPECT_EQ(GetRecordCount(nullptr), 0);
}

TEST_F(RecordFileTest, DamagedHeadersFailTheOpen) {
    auto header = [](std::uint32_t count, std::uint32_t size, std::size_t recordBytes) {
        std::vector<std::uint8_t> b(16 + recordBytes, 0);
        le::PutU32(b.data(), 8, count);
        le::PutU32(b.data(), 12, size);
        return b;
    };
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool opens;
    };
    const Case cases[] = {
        {"short header", std::vector<std::uint8_t>(10, 0), false},
        {"empty file", {}, false},
        {"absurd record size", header(1, 70000, 70000), false},
        {"records without a size", header(5, 0, 0), false},
        {"truncated records", header(10, 20, 9 * 20 + 19), false},
        {"garbled count", header(0xFFFFFFFF, 65536, 64), false},
        {"fresh file", header(0, 0, 0), true},
        {"whole records and a tail", header(2, 20, 45), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(platform::WriteFileAtomically(Data("d.ppc"), c.bytes.data(), c.bytes.size()));
        EXPECT_EQ(OpenRecordFile("data\\d.ppc", 0, db), c.opens ? 0 : 1);
        EXPECT_EQ(db != nullptr, c.opens);
    }
    EXPECT_EQ(OpenRecordFile("data\\missing.ppc", 0, db), 1);
}

TEST_F(RecordFileTest, WritableCopyIsMadeOnceAndNeverOverwritten) {
    WriteFile(Data("velkarion_comet.ppc"), 0, kCreatorComets, 128, 2,
              [](std::uint32_t i, std::uint8_t* r) { r[4] = static_cast<std::uint8_t>('A' + i); });
    ASSERT_FALSE(fs::exists(root / "home" / "usercatalogs"));
    ASSERT_EQ(OpenDb(db, kCreatorComets, kTypeCodeQvn1, 1, "data\\", "velkarion_comet.ppc"), 1);
    ASSERT_TRUE(fs::is_directory(root / "home" / "usercatalogs" / "data"));
    EXPECT_EQ(Bytes(UserCopy("velkarion_comet.ppc")), Bytes(Data("velkarion_comet.ppc")));

    // The user's records live in the copy; reopening keeps them.
    ASSERT_EQ(DeleteDbRecord(db, 0), 1);
    CloseDb(db);
    ASSERT_EQ(OpenDb(db, kCreatorComets, kTypeCodeQvn1, 1, "data\\", "velkarion_comet.ppc"), 1);
    EXPECT_EQ(GetDbRecordCount(db, 1), 1);
    CloseDb(db);

    // A copy that cannot be opened is named, and is not replaced by the shipped file.
    const fs::path copy = UserCopy("velkarion_comet.ppc");
    auto header = [](std::uint32_t count, std::uint32_t size, std::size_t recordBytes) {
        std::vector<std::uint8_t> b(16 + recordBytes, 0);
        le::PutU32(b.data(), 8, count);
        le::PutU32(b.data(), 12, size);
        return b;
    };
    std::vector<std::uint8_t> noise(300);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint8_t>(i * 7919 >> 3);
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::string why;
    } damaged[] = {
        {"truncated", std::vector<std::uint8_t>(12, 0xEE), "it is shorter than its 16-byte header"},
        {"cut records", header(2, 128, 200), "its header claims 2 records of 128 bytes, more than its 216 bytes hold"},
        {"random bytes", noise, "its header gives a record size of 2245734 bytes, above 65536"},
        {"2^31 records", header(0x80000000u, 128, 256),
         "its header claims 2147483648 records of 128 bytes, more than its 272 bytes hold"},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.what);
        ClearRecordedReports();
        ASSERT_TRUE(platform::WriteFileAtomically(copy, d.bytes.data(), d.bytes.size()));
        EXPECT_EQ(OpenDb(db, kCreatorComets, kTypeCodeQvn1, 1, "data\\", "velkarion_comet.ppc"), 0);
        EXPECT_EQ(Bytes(copy), d.bytes);
        EXPECT_EQ(Messages(), std::vector<std::string>{"Can't read data.\n" + copy.string() + ": " + d.why +
                                                       ".\nThe file was left as it is."});
    }
    // A folder in the file's place stays a folder.
    fs::remove(copy);
    fs::create_directories(copy / "inside");
    ClearRecordedReports();
    EXPECT_EQ(OpenDb(db, kCreatorComets, kTypeCodeQvn1, 1, "data\\", "velkarion_comet.ppc"), 0);
    EXPECT_TRUE(fs::is_directory(copy / "inside"));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Can't read data.\n" + copy.string() +
                                                   ": it is a folder, not a file.\nThe file was left as it is."});
    EXPECT_EQ(Bytes(Data("velkarion_comet.ppc")).size(), 16u + 2 * 128) << "the shipped file stays as installed";

    // Neither copy nor shipped file: the open fails.
    EXPECT_EQ(OpenDb(db, kCreatorComets, kTypeCodeQvn1, 1, "data\\", "velkarion_satellites.ppc"), 0);
    EXPECT_FALSE(fs::exists(UserCopy("velkarion_satellites.ppc")));
}

TEST_F(RecordFileTest, EmptyUserCopyTakesTheShippedRecordsAndACopyWithRecordsStays) {
    const std::string name = "data\\velkarion_comet.ppc";
    auto shipped = [&](std::uint32_t count) {
        WriteFile(Data("velkarion_comet.ppc"), 0, kCreatorComets, 128, count,
                  [](std::uint32_t i, std::uint8_t* r) { r[4] = static_cast<std::uint8_t>('A' + i); });
    };
    // An older set-up shipped the file empty, and the user's copy was made from it.
    shipped(0);
    ASSERT_EQ(OpenDb(db, kCreatorComets, kTypeCodeQvn1, 1, "data\\", "velkarion_comet.ppc"), 1);
    CloseDb(db);
    shipped(3);
    RefreshEmptyUserCopy(name);
    EXPECT_EQ(Bytes(UserCopy("velkarion_comet.ppc")), Bytes(Data("velkarion_comet.ppc")));

    // A copy with one record of the user's is never replaced.
    WriteFile(UserCopy("velkarion_comet.ppc"), 0, kCreatorComets, 128, 1, [](std::uint32_t, std::uint8_t* r) { r[4] = 'U'; });
    const auto mine = Bytes(UserCopy("velkarion_comet.ppc"));
    RefreshEmptyUserCopy(name);
    EXPECT_EQ(Bytes(UserCopy("velkarion_comet.ppc")), mine);

    // Nor is an empty copy when the shipped file is empty too, or a damaged copy.
    shipped(0);
    WriteFile(UserCopy("velkarion_comet.ppc"), 0, kCreatorComets, 128, 0, [](std::uint32_t, std::uint8_t*) {});
    const auto empty = Bytes(UserCopy("velkarion_comet.ppc"));
    RefreshEmptyUserCopy(name);
    EXPECT_EQ(Bytes(UserCopy("velkarion_comet.ppc")), empty);
    shipped(2);
    const std::vector<std::uint8_t> broken(12, 0xEE);
    ASSERT_TRUE(platform::WriteFileAtomically(UserCopy("velkarion_comet.ppc"), broken.data(), broken.size()));
    RefreshEmptyUserCopy(name);
    EXPECT_EQ(Bytes(UserCopy("velkarion_comet.ppc")), broken);
}

TEST_F(RecordFileTest, CopyThatCannotBeMadeIsNamedWithTheReason) {
    WriteFile(Data("velkarion_comet.ppc"), 0, kCreatorComets, 128, 2, [](std::uint32_t, std::uint8_t*) {});
    // A file where the copies' folder belongs.
    std::vector<std::uint8_t> mine = {'m', 'i', 'n', 'e'};
    ASSERT_TRUE(platform::WriteFileAtomically(root / "home" / "usercatalogs", mine.data(), mine.size()));
    EXPECT_EQ(OpenDb(db, kCreatorComets, kTypeCodeQvn1, 1, "data\\", "velkarion_comet.ppc"), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "Can't write data.\n" + UserCopy("velkarion_comet.ppc").string() +
                                 ": the writable copy of " + Data("velkarion_comet.ppc").string() +
                                 " could not be made: Not a directory.\nThe file on disk was left as it was.");
    EXPECT_EQ(Bytes(root / "home" / "usercatalogs"), mine);
}

TEST_F(RecordFileTest, UnusableHomeReadsAndWritesNothing) {
    WriteFile(Data("velkarion_comet.ppc"), 0, kCreatorComets, 128, 2, [](std::uint32_t, std::uint8_t*) {});
    std::vector<std::uint8_t> mine = {'m', 'i', 'n', 'e'};
    const fs::path home = root / "home-file";
    ASSERT_TRUE(platform::WriteFileAtomically(home, mine.data(), mine.size()));
    platform::SetHomeRoot(home);
    ASSERT_NE(platform::PrepareHomeFolder(), "");
    // The shipped file is read as it is; nothing is copied, written or reported.
    ASSERT_EQ(OpenDb(db, kCreatorComets, kTypeCodeQvn1, 1, "data\\", "velkarion_comet.ppc"), 1);
    EXPECT_EQ(GetDbRecordCount(db, 1), 2);
    std::uint8_t rec[128] = {};
    EXPECT_EQ(WriteDbRecord(db, kAppendRecord, rec, sizeof rec), 0);
    EXPECT_EQ(DeleteDbRecord(db, 0), 0);
    EXPECT_EQ(GetDbRecordCount(db, 1), 2);
    EXPECT_EQ(Bytes(home), mine);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(RecordFileTest, UserObjectTemplateShippedBesideTheProgramMakesTheUsersCopy) {
    fs::create_directories(root / "install" / "usercatalogs");
    WriteFile(root / "install" / "usercatalogs" / "velkarion_common_objects.ppc", 0, kCreatorUserObjects, 64, 1,
              [](std::uint32_t, std::uint8_t* r) { r[40] = 'X'; });
    ASSERT_EQ(OpenDb(db, kCreatorUserObjects, kTypeCodeQvn1, 1, kUserCatalogFolder, kUserObjectFile), 1);
    EXPECT_EQ(GetDbRecordCount(db, 1), 1);
    CloseDb(db);
    EXPECT_TRUE(fs::exists(root / "home" / "usercatalogs" / "usercatalogs" / "velkarion_common_objects.ppc"));
}

TEST_F(RecordFileTest, ImagesWriteSortAndReadBack) {
    RecordFileImage image;
    image.version = 26;
    image.creator = kCreatorObjects;
    image.recordSize = 8;
    for (std::uint32_t key : {5u, 1u, 4u, 1u}) {
        std::uint8_t* r = image.Append();
        le::PutU32(r, 0, key);
        le::PutU32(r, 4, image.Count());
    }
    SortRecords(image, [](const std::uint8_t* a, const std::uint8_t* b) { return le::U32(a, 0) < le::U32(b, 0); }, 1);
    ASSERT_TRUE(WriteRecordFileImage(Data("img.ppc"), image));
    RecordFileImage back;
    ASSERT_TRUE(ReadRecordFileImage(Data("img.ppc"), back));
    EXPECT_EQ(back.version, 26u);
    EXPECT_EQ(back.creator, kCreatorObjects);
    ASSERT_EQ(back.Count(), 4u);
    std::vector<std::uint32_t> keys, order;
    for (std::uint32_t i = 0; i < 4; ++i) {
        keys.push_back(le::U32(back.Record(i), 0));
        order.push_back(le::U32(back.Record(i), 4));
    }
    EXPECT_EQ(keys, (std::vector<std::uint32_t>{5, 1, 1, 4}));   // record 0 left in place
    EXPECT_EQ(order, (std::vector<std::uint32_t>{1, 2, 4, 3}));  // equal keys keep their order
}

TEST_F(RecordFileTest, ReadOnlyFilesGiveTheirRecordsInPlaceAndUpdatableOnesDoNot) {
    RecordFileImage image;
    image.creator = kCreatorObjects;
    image.recordSize = 6;
    for (std::uint16_t k = 0; k < 5; ++k) le::PutI16(image.Append(), 0, static_cast<std::int16_t>(100 + k));
    ASSERT_TRUE(WriteRecordFileImage(Data("mapped.ppc"), image));
    RecordFilePtr db;
    ASSERT_EQ(OpenRecordFile("data\\mapped.ppc", 0, db), 0);
    const std::uint8_t* block = MappedRecordBlock(db.get(), 1, 4);
    ASSERT_NE(block, nullptr);
    std::vector<std::uint8_t> read;
    ASSERT_EQ(ReadRecordBlock(db.get(), 1, 4, read), 0);
    EXPECT_TRUE(std::equal(read.begin(), read.end(), block)) << "the same bytes as a read";
    EXPECT_EQ(le::I16(block, 18), 104);
    EXPECT_EQ(MappedRecordBlock(db.get(), 2, 4), nullptr) << "past the last record";
    CloseDb(db);
    ASSERT_EQ(OpenRecordFile("data\\mapped.ppc", 1, db), 0);
    EXPECT_EQ(MappedRecordBlock(db.get(), 0, 1), nullptr) << "a file open for update is read, not mapped";
    CloseDb(db);
}

TEST_F(RecordFileTest, AppDirectoryIsTheInstallRootWithATrailingSlash) {
    EXPECT_EQ(GetAppDirectory(), (root / "install").string() + "/");
    char small[8];
    GetAppDirectory(small, sizeof small);
    EXPECT_EQ(std::string(small), GetAppDirectory().substr(0, 7));
    GetAppDirectory(nullptr, 100);
}

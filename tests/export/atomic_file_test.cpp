#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "export/atomic_file.h"
#include "test_support.h"

namespace vrs::testing {
namespace {

namespace fs = std::filesystem;

// Fails one chosen system call with a chosen errno.
class FaultyOps : public FileOps {
  public:
    int failWriteAfter = -1;  // pwrite calls that succeed before the fault
    int writeErrno = ENOSPC;
    bool shortWrites = false;  // every pwrite writes at most 7 bytes
    int fsyncErrno = 0;
    int renameErrno = 0;
    int writes = 0;

    ssize_t pwrite(int fd, const void* data, std::size_t size, off_t offset) override {
        if (failWriteAfter >= 0 && writes++ >= failWriteAfter) {
            errno = writeErrno;
            return -1;
        }
        return FileOps::pwrite(fd, data, shortWrites ? std::min<std::size_t>(size, 7) : size,
                               offset);
    }
    int fsync(int fd) override {
        if (fsyncErrno != 0) {
            errno = fsyncErrno;
            return -1;
        }
        return FileOps::fsync(fd);
    }
    int rename(const char* from, const char* to) override {
        if (renameErrno != 0) {
            errno = renameErrno;
            return -1;
        }
        return FileOps::rename(from, to);
    }
};

const std::vector<std::uint8_t> kOld{'o', 'l', 'd'};

TEST(AtomicFile, ReplacesTheTargetWholeAndPatchesAfterSeek) {
    ScratchDir dir;
    ASSERT_TRUE(writeFile(dir / "out.bin", kOld));
    FaultyOps ops;
    ops.shortWrites = true;  // partial writes are carried on, not lost
    AtomicFile file(ops);
    ASSERT_EQ(0, file.open((dir / "out.bin").string()));
    const std::string text = "hello, atomic world";
    ASSERT_TRUE(file.write(text.data(), text.size()));
    ASSERT_TRUE(file.seek(0));
    ASSERT_TRUE(file.write("J", 1));
    EXPECT_EQ(1u, file.position());
    EXPECT_EQ(text.size(), file.size());
    EXPECT_EQ(kOld, readFile(dir / "out.bin"));  // nothing visible before commit
    ASSERT_EQ(0, file.commit());
    const auto bytes = readFile(dir / "out.bin");
    EXPECT_EQ("Jello, atomic world", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(std::vector<std::string>{"out.bin"}, entries(dir.path()));
}

TEST(AtomicFile, NewFileGetsUsualPermissionsExistingKeepsItsOwn) {
    ScratchDir dir;
    const mode_t mask = umask(022);
    umask(mask);
    {
        AtomicFile file;
        ASSERT_EQ(0, file.open((dir / "new.bin").string()));
        ASSERT_EQ(0, file.commit());
    }
    struct stat st {};
    ASSERT_EQ(0, stat((dir / "new.bin").c_str(), &st));
    EXPECT_EQ(0666 & ~mask, st.st_mode & 0777);

    ASSERT_TRUE(writeFile(dir / "private.bin", kOld));
    ASSERT_EQ(0, chmod((dir / "private.bin").c_str(), 0600));
    {
        AtomicFile file;
        ASSERT_EQ(0, file.open((dir / "private.bin").string()));
        ASSERT_EQ(0, file.commit());
    }
    ASSERT_EQ(0, stat((dir / "private.bin").c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
}

TEST(AtomicFile, EveryFailureLeavesTheTargetAndNoTemporaryFile) {
    struct Case {
        const char* what;
        int failWriteAfter, fsyncErrno, renameErrno, expected;
    };
    for (const Case& c :
         {Case{"full disk at the first write", 0, 0, 0, ENOSPC},
          Case{"full disk later", 2, 0, 0, ENOSPC}, Case{"flush to disk fails", -1, EIO, 0, EIO},
          Case{"rename refused", -1, 0, EXDEV, EXDEV}}) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        ASSERT_TRUE(writeFile(dir / "out.bin", kOld));
        FaultyOps ops;
        ops.failWriteAfter = c.failWriteAfter;
        ops.fsyncErrno = c.fsyncErrno;
        ops.renameErrno = c.renameErrno;
        AtomicFile file(ops);
        ASSERT_EQ(0, file.open((dir / "out.bin").string()));
        // 5 MiB: several buffer flushes, so "later" faults strike mid-file.
        const std::vector<std::uint8_t> chunk(1 << 20, 0x5A);
        for (int i = 0; i < 5; ++i) {
            file.write(chunk.data(), chunk.size());
        }
        EXPECT_EQ(c.expected, file.commit());
        EXPECT_EQ(kOld, readFile(dir / "out.bin"));
        EXPECT_EQ(std::vector<std::string>{"out.bin"}, entries(dir.path()));
    }
}

TEST(AtomicFile, FolderThatCannotHoldTheFile) {
    ScratchDir dir;
    ASSERT_TRUE(writeFile(dir / "plain", kOld));
    AtomicFile file;
    EXPECT_EQ(ENOTDIR, file.open((dir / "plain" / "out.bin").string()));
    EXPECT_EQ(ENOENT, file.open((dir / "missing" / "out.bin").string()));
    EXPECT_FALSE(file.write("x", 1));
    EXPECT_NE(0, file.commit());
    EXPECT_EQ(std::vector<std::string>{"plain"}, entries(dir.path()));
}

}  // namespace
}  // namespace vrs::testing

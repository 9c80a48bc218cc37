// Archive files through korvan-host as a person uses them: files that are not
// archives, damaged ones, symlinks, old-format files and paths with nothing there.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "tests/support/child_process.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

class ArchiveFileTest : public ::testing::Test {
protected:
    ArchiveFileTest() {
        char pattern[] = "/tmp/korvan-archive-test-XXXXXX";
        folder_ = mkdtemp(pattern);
    }
    ~ArchiveFileTest() override { fs::remove_all(folder_); }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    testing::Finished Host(std::vector<std::string> arguments) {
        const std::string emulator = KORVAN_EMULATOR;
        arguments.insert(arguments.begin(), {KORVAN_HOST_PROGRAM, "--driver", KORVAN_BUILT_DRIVER});
        if (!emulator.empty()) arguments.insert(arguments.begin(), emulator);
        return testing::RunProgram(arguments, 60.0);
    }
    // A copy of the example archive, which is in the old format: the driver's blob alone.
    std::string OldFormatArchive(const std::string& name) {
        const std::string path = Path(name);
        Write(path, Contents(KORVAN_EXAMPLE_ARCHIVE));
        return path;
    }

    std::string folder_;
};

TEST_F(ArchiveFileTest, AFileThatIsNoArchiveIsRefusedAndLeftAsItWas) {
    std::string noise(400, '\0');
    std::mt19937 random(11);
    for (char& byte : noise) byte = static_cast<char>(random());
    Write(Path("noise.archive"), noise);
    Write(Path("readme.archive"), "# Korvan\n\nA device driver for a Danfoss VLT5000 frequency converter.\n");
    for (const std::string name : {"noise.archive", "readme.archive"}) {
        const std::string before = Contents(Path(name));
        const auto set = Host({"--archive", Path(name), "--force", "set", "address=2"});
        EXPECT_EQ(set.status, 1) << name;
        EXPECT_EQ(set.err, "korvan-host: " + Path(name) + " is not a Korvan archive\n");
        EXPECT_EQ(Contents(Path(name)), before) << name;
        EXPECT_FALSE(fs::exists(Path(name) + ".bak"));
    }
}

TEST_F(ArchiveFileTest, ADamagedArchiveIsReportedAndSavedOverOnlyWithForce) {
    const std::string cut = OldFormatArchive("cut.archive");
    fs::resize_file(cut, 200);  // only the four fixed channels are there whole
    const auto refused = Host({"--archive", cut, "set", "address=2"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("archive damaged: 4 of 10 channels read"), std::string::npos) << refused.err;
    EXPECT_EQ(fs::file_size(cut), 200u);

    const auto forced = Host({"--archive", cut, "--force", "set", "address=2"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_NE(forced.err.find("4 of 10 channels read"), std::string::npos) << forced.err;
    EXPECT_EQ(Host({"--archive", cut, "channels"}).status, 0);  // what was read is saved whole

    const std::string current = Path("current.archive");
    ASSERT_EQ(Host({"--archive", current, "init"}).status, 0);
    fs::resize_file(current, fs::file_size(current) - 1);
    const std::string before = Contents(current);
    const auto shortened = Host({"--archive", current, "set", "address=3"});
    EXPECT_EQ(shortened.status, 1);
    EXPECT_NE(shortened.err.find("archive damaged"), std::string::npos) << shortened.err;
    EXPECT_EQ(Contents(current), before);
}

TEST_F(ArchiveFileTest, ASaveGoesThroughASymlinkKeepingModeAndThePreviousFile) {
    fs::create_directory(Path("plant"));
    const std::string target = Path("plant/drive.archive");
    const std::string link = Path("drive.archive");
    ASSERT_EQ(Host({"--archive", target, "init"}).status, 0);
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    fs::create_symlink("plant/drive.archive", link);
    ASSERT_EQ(Host({"--archive", link, "set", "address=5"}).status, 0);
    const std::string first = Contents(target);
    ASSERT_EQ(Host({"--archive", link, "set", "address=6"}).status, 0);

    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "plant/drive.archive");
    struct stat saved {};
    ASSERT_EQ(stat(target.c_str(), &saved), 0);
    EXPECT_EQ(saved.st_mode & 07777, 0640u);
    EXPECT_EQ(Contents(target + ".bak"), first);  // the older .bak replaced
    EXPECT_EQ(Host({"--archive", link, "props"}).out.rfind("设备地址 = 6", 0), 0u);
}

TEST_F(ArchiveFileTest, AnOldFormatArchiveLoadsAndIsConvertedWhenSaved) {
    const std::string archive = OldFormatArchive("old.archive");
    const std::string original = Contents(archive);
    const auto listed = Host({"--archive", archive, "channels"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("\n10\t机型\t621\ttext"), std::string::npos) << listed.out;
    EXPECT_EQ(Contents(archive), original);  // nothing saved, nothing converted

    ASSERT_EQ(Host({"--archive", archive, "set", "address=4"}).status, 0);
    EXPECT_EQ(Contents(archive).substr(0, 8), "KORVANAR");
    EXPECT_EQ(Contents(archive + ".bak"), original);
    const auto after = Host({"--archive", archive, "channels"});
    EXPECT_EQ(after.out.substr(after.out.find("\n5\t")), listed.out.substr(listed.out.find("\n5\t")));
}

TEST_F(ArchiveFileTest, OnlyInitMakesAnArchive) {
    const std::string archive = Path("new.archive");
    const auto props = Host({"--archive", archive, "props"});
    EXPECT_EQ(props.status, 1);
    EXPECT_EQ(props.err, "korvan-host: no archive at " + archive + " (korvan-host --archive " + archive +
                             " init makes one)\n");
    EXPECT_FALSE(fs::exists(archive));

    const mode_t mask = umask(027);
    const auto init = Host({"--archive", archive, "init"});
    umask(mask);
    ASSERT_EQ(init.status, 0) << init.err;
    struct stat made {};
    ASSERT_EQ(stat(archive.c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 07777, 0640u);
    EXPECT_EQ(Host({"--archive", archive, "props"}).out.rfind("设备地址 = 1", 0), 0u);

    ASSERT_EQ(Host({"--archive", archive, "set", "address=8"}).status, 0);
    const std::string configured = Contents(archive);
    EXPECT_EQ(Host({"--archive", archive, "init"}).status, 1);
    EXPECT_EQ(Contents(archive), configured);
}

// A link whose file is not there yet: init makes the file it names, others say so.
// A folder that is not there is named.
TEST_F(ArchiveFileTest, ADanglingLinkAndAMissingFolderAreNamed) {
    const std::string link = Path("link.archive");
    fs::create_symlink("target.archive", link);
    const auto props = Host({"--archive", link, "props"});
    EXPECT_EQ(props.status, 1);
    EXPECT_NE(props.err.find(link + " links to " + folder_ + "/target.archive, which does not exist"), std::string::npos)
        << props.err;
    EXPECT_EQ(Host({"--archive", link, "init"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_regular_file(Path("target.archive")));

    const auto missing = Host({"--archive", Path("plant/drive1.archive"), "init"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("the folder " + Path("plant") + " does not exist"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace korvan

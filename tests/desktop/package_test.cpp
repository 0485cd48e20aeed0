// Shipping a book: the packaging command's portable archive and Debian package, each
// unpacked somewhere else and run from there.
#include "tests/desktop/desktop.h"

using namespace vireo::test;

namespace {

class Package : public InstalledShell {
protected:
    Finished Pack(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {"/bin/bash", std::string(VIREO_SOURCE_DIR) + "/scripts/package",
                                         "--stage", VIREO_STAGE};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProgram(argv);
    }

    // Runs the shell at `exe` until its window shows the book's title, then closes it.
    void OpensTheBook(const fs::path& exe) {
        Background shell({exe.string()}, Env());
        std::string window = WaitForWindow(shell, 20);
        ASSERT_FALSE(window.empty()) << shell.Stderr();
        EXPECT_NE(WaitForCaption(window, "A Spring Forest").find("A Spring Forest"), std::string::npos);
        Shell("xdotool windowactivate --sync " + window + " key --clearmodifiers alt+F4");
        EXPECT_EQ(shell.Wait(20), 0);
    }

    TempDir out;
};

TEST_F(Package, TheArchiveAndTheDebianPackageBothOpenTheBook) {
    Finished packed = Pack({"--title", "봄날의 숲", VIREO_SAMPLE_BOOK, "Spring_Forest", out.path().string()});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;

    // The archive holds one folder, which runs wherever it is unpacked.
    fs::path archive = out / "Spring_Forest-1.8.8.0-portable.tar.gz";
    ASSERT_TRUE(fs::exists(archive)) << packed.out;
    TempDir elsewhere;
    ASSERT_EQ(Shell("tar -C " + elsewhere.path().string() + " -xzf " + archive.string() + " && echo ok"),
              "ok\n");
    EXPECT_TRUE(fs::exists(elsewhere / "Spring_Forest/ebook/index.html"));
    EXPECT_TRUE(fs::exists(elsewhere / "Spring_Forest/vireo-reg"));
    OpensTheBook(elsewhere / "Spring_Forest/VireoPlayer");

    // The package: lower-case name, the program's version, the folder under /opt.
    fs::path deb = out / "spring-forest_1.8.8.0_amd64.deb";
    ASSERT_TRUE(fs::exists(deb)) << packed.out;
    EXPECT_EQ(Shell("dpkg-deb -f " + deb.string() + " Package Version"),
              "Package: spring-forest\nVersion: 1.8.8.0\n");
    EXPECT_NE(Shell("dpkg-deb -f " + deb.string() + " Depends").find("libwebkit2gtk-4.1-0"),
              std::string::npos);
    TempDir root;
    Shell("dpkg-deb -x " + deb.string() + " " + root.path().string());
    fs::path entry = root / "usr/share/applications/spring-forest.desktop";
    ASSERT_TRUE(fs::exists(entry));
    EXPECT_EQ(Shell("desktop-file-validate " + entry.string() + " 2>&1; echo $?"), "0\n");
    std::string text = ReadFile(entry);
    EXPECT_NE(text.find("\nName=봄날의 숲\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nExec=/opt/Spring_Forest/VireoPlayer\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nIcon=spring-forest\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nComment[ko]=설치된 전자책을 보여 주는 뷰어\n"), std::string::npos)
        << "described as the version resource describes the program";
    for (const char* size : {"16x16", "32x32", "48x48", "256x256"}) {
        fs::path icon = root / "usr/share/icons/hicolor" / size / "apps/spring-forest.png";
        EXPECT_TRUE(fs::exists(icon)) << size;
        EXPECT_EQ(Shell("identify -format '%wx%h' " + icon.string()), size);
    }
    OpensTheBook(root / "opt/Spring_Forest/VireoPlayer");
}

TEST_F(Package, RefusesANameOrABookItCannotShip) {
    struct Case {
        std::string book, name, message;
    } cases[] = {
        {VIREO_SAMPLE_BOOK, "two words", "may hold only letters"},
        {VIREO_SAMPLE_BOOK, "../up", "may hold only letters"},
        {out.path().string(), "Empty", "has no index.html"},
    };
    for (const Case& c : cases) {
        Finished packed = Pack({c.book, c.name, out.path().string()});
        EXPECT_EQ(packed.exitCode, 2) << c.name;
        EXPECT_NE(packed.err.find(c.message), std::string::npos) << packed.err;
    }
    EXPECT_TRUE(fs::is_empty(out.path())) << "nothing is written for a refused request";
}

} // namespace

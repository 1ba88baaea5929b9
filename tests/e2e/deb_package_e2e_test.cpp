// The Linux install layout and the Debian package, made from this build tree
// by cmake --install and by CPack, read back with dpkg-deb and checked by lintian.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "run_options.h"
#include "stage.h"

using namespace support;

namespace {

constexpr const char* kHack = "usr/libexec/xscreensaver/quorvellanto";
constexpr const char* kConfig = "usr/share/xscreensaver/config/quorvellanto.xml";
constexpr const char* kManPage = "usr/share/man/man6/quorvellanto.6.gz";
constexpr const char* kChangelog = "usr/share/doc/quorvellanto/changelog.gz";

class Package : public ::testing::Test {
protected:
    static std::string work, logs, deb;
    static ToolResult made;

    // One package for the suite: CPack takes a while.
    static void SetUpTestSuite()
    {
        work = QV_PACKAGE_WORK_DIR;
        std::filesystem::remove_all(work);
        logs = EnsureDir(work + "/logs");
        made = RunTool({"cpack", "--config", std::string(QV_BUILD_DIR) + "/CPackConfig.cmake", "-B", work + "/out"},
                       {}, Millis(300000), logs + "/cpack.log");
        deb = work + "/out/quorvellanto_" + QV_PROJECT_VERSION + "_amd64.deb";
    }

    ToolResult Tool(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {})
    {
        return RunTool(argv, env, Millis(60000), logs + "/tool.log");
    }

    std::string XPath(const std::string& file, const std::string& expression)
    {
        std::string value = Tool({"xmllint", "--xpath", expression, file}).output;
        while (!value.empty() && value.back() == '\n') value.pop_back();
        return value;
    }

    void SetUp() override
    {
        ASSERT_EQ(made.exitCode, 0) << made.output;
        ASSERT_GT(FileSizeOf(deb), 0) << "no " << deb << "\n" << made.output;
    }

    std::string Extracted()
    {
        const std::string root = work + "/extracted";
        if (!std::filesystem::exists(root + "/" + kHack)) {
            const ToolResult x = Tool({"dpkg-deb", "-x", deb, root});
            EXPECT_EQ(x.exitCode, 0) << x.output;
        }
        return root;
    }
};

std::string Package::work, Package::logs, Package::deb;
ToolResult Package::made;

TEST_F(Package, NamedForItsVersionAndArchitectureWithItsDependencies)
{
    const ToolResult fields = Tool({"dpkg-deb", "-f", deb, "Package", "Version", "Architecture", "Depends", "Recommends"});
    ASSERT_EQ(fields.exitCode, 0) << fields.output;
    EXPECT_NE(fields.output.find("Package: quorvellanto\n"), std::string::npos) << fields.output;
    EXPECT_NE(fields.output.find(std::string("Version: ") + QV_PROJECT_VERSION + "\n"), std::string::npos) << fields.output;
    EXPECT_NE(fields.output.find("Architecture: amd64\n"), std::string::npos) << fields.output;
    for (const char* library : {"libx11-6", "libglx0", "libopengl0", "libglu1-mesa", "libc6"})
        EXPECT_NE(fields.output.find(library), std::string::npos) << "Depends lacks " << library << ": " << fields.output;
    EXPECT_NE(fields.output.find("Recommends: xscreensaver"), std::string::npos) << fields.output;
}

TEST_F(Package, HoldsTheHackItsConfigAndItsManPageAndNothingElse)
{
    const ToolResult list = Tool({"dpkg-deb", "-c", deb});
    ASSERT_EQ(list.exitCode, 0) << list.output;
    std::map<std::string, std::string> files;  // path -> mode
    std::istringstream lines(list.output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string mode, owner, size, date, time, path;
        fields >> mode >> owner >> size >> date >> time >> path;
        if (mode.empty() || mode[0] != '-') continue;
        files[path] = mode;
    }
    EXPECT_EQ(files["./" + std::string(kHack)], "-rwxr-xr-x");
    EXPECT_EQ(files["./" + std::string(kConfig)], "-rw-r--r--");
    EXPECT_EQ(files["./" + std::string(kManPage)], "-rw-r--r--");
    EXPECT_EQ(files.count("./usr/share/doc/quorvellanto/copyright"), 1u);
    EXPECT_EQ(files["./" + std::string(kChangelog)], "-rw-r--r--");
    EXPECT_EQ(files.size(), 5u) << list.output;
}

TEST_F(Package, LintianFindsNoErrorAndNoWarning)
{
    const ToolResult lint = RunTool({"lintian", "--fail-on", "error,warning", deb}, {}, Millis(180000), logs + "/lintian.log");
    EXPECT_EQ(lint.exitCode, 0) << lint.output;
    std::istringstream lines(lint.output);
    for (std::string line; std::getline(lines, line);)
        EXPECT_FALSE(line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0) << line;
}

TEST_F(Package, ConfigParsesAsXmlAndNamesTheProgram)
{
    const std::string config = Extracted() + "/" + kConfig;
    const ToolResult lint = Tool({"xmllint", "--noout", config});
    EXPECT_EQ(lint.exitCode, 0) << lint.output;
    EXPECT_EQ(XPath(config, "string(/screensaver/@name)"), "quorvellanto")
        << "XScreenSaver pairs the description with the program file of that name";
    EXPECT_EQ(XPath(config, "string(/screensaver/@_label)"), "Quorvellanto");
    EXPECT_EQ(XPath(config, "string(/screensaver/@gl)"), "yes");
    EXPECT_EQ(XPath(config, "string(/screensaver/command/@arg)"), "--root");
    // The settings XScreenSaver's own hacks offer, in the form its settings read.
    const struct {
        const char* expression;
        std::string value;
    } settings[] = {
        {"string(//number[@id='delay']/@type)", "slider"},
        {"string(//number[@id='delay']/@arg)", "--delay %"},
        {"string(//number[@id='delay']/@_label)", "Frame rate"},
        {"string(//number[@id='delay']/@low)", "0"},
        {"string(//number[@id='delay']/@high)", "100000"},
        {"string(//number[@id='delay']/@default)", std::to_string(kDefaultDelayMicroseconds)},
        {"string(//number[@id='delay']/@convert)", "invert"},
        {"string(//boolean[@id='showfps']/@_label)", "Show frame rate"},
        {"string(//boolean[@id='showfps']/@arg-set)", "--fps"},
    };
    for (const auto& setting : settings) EXPECT_EQ(XPath(config, setting.expression), setting.value) << setting.expression;
}

TEST_F(Package, ManPageReadsCleanly)
{
    const std::string page = Extracted() + "/" + kManPage;
    const ToolResult whatis = Tool({"lexgrog", page});
    EXPECT_EQ(whatis.exitCode, 0) << whatis.output;
    EXPECT_NE(whatis.output.find("quorvellanto - rings of lit spheres"), std::string::npos) << whatis.output;
    const ToolResult shown = Tool({"man", "--warnings", "-P", "cat", "-l", page}, {{"MANWIDTH", "80"}, {"LANG", "C.UTF-8"}});
    EXPECT_EQ(shown.exitCode, 0) << shown.output;
    for (const char* text : {"-window-id", "-delay", "-fps", "XSCREENSAVER_WINDOW", "SIGTERM", "EXIT STATUS"})
        EXPECT_NE(shown.output.find(text), std::string::npos) << text << " missing:\n" << shown.output;
    EXPECT_EQ(shown.output.find("warning"), std::string::npos) << shown.output;
}

TEST_F(Package, PackagedProgramRuns)
{
    const ToolResult help = Tool({Extracted() + "/" + kHack, "--help"});
    EXPECT_EQ(help.exitCode, 0) << help.output;
    for (const char* option : {"-window-id ID", "-delay N", "-fps"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option << " missing:\n" << help.output;
}

TEST(Install, CmakeInstallPutsTheFilesUnderThePrefix)
{
    const std::string prefix = std::string(QV_PACKAGE_WORK_DIR) + "-install";
    std::filesystem::remove_all(prefix);
    const ToolResult install = RunTool({"cmake", "--install", QV_BUILD_DIR, "--prefix", prefix}, {}, Millis(120000),
                                       EnsureDir(prefix + "-logs") + "/install.log");
    ASSERT_EQ(install.exitCode, 0) << install.output;
    struct stat st = {};
    ASSERT_EQ(stat((prefix + "/libexec/xscreensaver/quorvellanto").c_str(), &st), 0) << install.output;
    EXPECT_NE(st.st_mode & S_IXOTH, 0u);
    EXPECT_GT(FileSizeOf(prefix + "/share/xscreensaver/config/quorvellanto.xml"), 0);
    EXPECT_GT(FileSizeOf(prefix + "/share/man/man6/quorvellanto.6.gz"), 0);
}

}  // namespace

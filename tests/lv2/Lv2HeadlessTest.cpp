// The plug-in's binary in the bundle loads and renders where no display or font library can be
// found: in a tree that holds only a lilv host (lv2_headless_host), what it and the binary need
// (as ldd resolves them) and the bundle, run with chroot. The UI's binary is in the bundle but
// not loaded.

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace
{
const fs::path bundle = TARNWELL_LV2_BUNDLE;
const fs::path headlessHost = TARNWELL_HEADLESS_HOST_PATH;
const char* const displayOrFont[] { "libX11", "libxcb", "libXext", "libfreetype", "libfontconfig", "libGL" };

// Every library the dynamic loader would load with `binary`, its own needs recursively
// included, as ldd lists them (the loader itself too).
std::set<std::string> loadedWith (const fs::path& binary)
{
    juce::ChildProcess ldd;
    std::set<std::string> paths;
    if (! ldd.start (juce::StringArray { "ldd", binary.string() }))
        return paths;
    const auto text = ldd.readAllProcessOutput().toStdString();
    const std::regex path (R"((/[^ \t\n]+\.so[^ \t\n]*) \(0x)");
    for (std::sregex_iterator it (text.begin(), text.end(), path), end; it != end; ++it)
        paths.insert ((*it)[1]);
    return paths;
}

bool isDisplayOrFont (const std::string& path)
{
    const auto name = fs::path (path).filename().string();
    for (const char* library : displayOrFont)
        if (name.rfind (library, 0) == 0)
            return true;
    return false;
}

TEST (Lv2Headless, PluginBinaryNeedsNoDisplayOrFontLibrary)
{
    const auto dsp = loadedWith (bundle / "Tarnwell.so");
    ASSERT_FALSE (dsp.empty());
    for (const auto& library : dsp)
        EXPECT_FALSE (isDisplayOrFont (library)) << "Tarnwell.so loads " << library;

    // The check sees such a library where there is one: the UI draws its text with FreeType.
    bool uiNeedsFreeType = false;
    for (const auto& library : loadedWith (bundle / "TarnwellUi.so"))
        uiNeedsFreeType = uiNeedsFreeType || library.find ("libfreetype") != std::string::npos;
    EXPECT_TRUE (uiNeedsFreeType);
}

TEST (Lv2Headless, PluginRendersInATreeWithoutDisplayOrFontLibraries)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "chroot needs root";
#ifdef TARNWELL_PLUGIN_NEEDS_SANITIZER_RUNTIME
    GTEST_SKIP() << "the sanitizer runtime's own needs are not copied into the tree";
#endif

    const fs::path tree = fs::temp_directory_path() / ("tarnwell-headless-" + std::to_string (getpid()));
    fs::remove_all (tree);
    std::set<std::string> libraries = loadedWith (headlessHost);
    for (const auto& library : loadedWith (bundle / "Tarnwell.so"))
        libraries.insert (library);
    ASSERT_GT (libraries.size(), 2u);
    for (const auto& library : libraries)
    {
        ASSERT_FALSE (isDisplayOrFont (library)) << library;
        fs::create_directories (tree / fs::path (library).relative_path().parent_path());
        fs::copy_file (fs::canonical (library), tree / fs::path (library).relative_path());
    }
    fs::copy_file (headlessHost, tree / "host");
    fs::create_directories (tree / "lv2");
    fs::copy (bundle, tree / "lv2" / "Tarnwell.lv2");
    ASSERT_TRUE (fs::exists (tree / "lv2" / "Tarnwell.lv2" / "TarnwellUi.so"));

    // The host first proves the tree: none of these can be loaded there.
    juce::ChildProcess host;
    ASSERT_TRUE (host.start (juce::StringArray { "env", "LV2_PATH=/lv2", "chroot", tree.string(), "/host",
                                                 "libfreetype.so.6", "libX11.so.6", "libxcb.so.1" }));
    const auto output = host.readAllProcessOutput();
    host.waitForProcessToFinish (60000);
    EXPECT_EQ (host.getExitCode(), 0u) << output;
    EXPECT_TRUE (output.contains ("right channel's energy")) << output;
    fs::remove_all (tree);
}
} // namespace

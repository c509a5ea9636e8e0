// A Linux release archive as a user gets it: unpacked into an empty folder (named by
// TARNWELL_PACKAGE_DIR; ./tarnwell test-package does this for x86-64 and aarch64), every binary
// in it needs only libraries and symbol versions that every distribution has, and each plug-in
// loads and runs from there where the archive is for this machine.

#include "host/vst2/VstAbi.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
fs::path packageDir()
{
    const char* dir = std::getenv ("TARNWELL_PACKAGE_DIR");
    return dir != nullptr ? fs::path (dir) : fs::path();
}

std::vector<char> contentsOf (const fs::path& file)
{
    std::ifstream in (file, std::ios::binary);
    return { std::istreambuf_iterator<char> (in), std::istreambuf_iterator<char>() };
}

template <typename T>
T at (const std::vector<char>& bytes, size_t offset)
{
    T value {};
    if (offset + sizeof (T) <= bytes.size())
        std::memcpy (&value, bytes.data() + offset, sizeof (T));
    return value;
}

// Calls visit (section, its string table) for each section of a 64-bit ELF file of the type.
template <typename Visit>
void forEachSection (const std::vector<char>& elf, std::uint32_t type, Visit&& visit)
{
    const auto header = at<Elf64_Ehdr> (elf, 0);
    for (size_t i = 0; i < header.e_shnum; ++i)
    {
        const auto section = at<Elf64_Shdr> (elf, header.e_shoff + i * header.e_shentsize);
        if (section.sh_type == type)
            visit (section, at<Elf64_Shdr> (elf, header.e_shoff + section.sh_link * header.e_shentsize));
    }
}

// The text at offset in a string table, cut at the file's end; nothing past the end.
void insertName (std::set<std::string>& names, const std::vector<char>& elf, const Elf64_Shdr& strings, size_t offset)
{
    const size_t name = strings.sh_offset + offset;
    if (name < elf.size())
        names.insert (std::string (elf.data() + name, strnlen (elf.data() + name, elf.size() - name)));
}

// The DT_NEEDED names of a 64-bit ELF file, from its dynamic section; empty if it has none.
std::set<std::string> neededLibraries (const std::vector<char>& elf)
{
    std::set<std::string> names;
    forEachSection (elf, SHT_DYNAMIC, [&] (const Elf64_Shdr& section, const Elf64_Shdr& strings) {
        for (size_t offset = section.sh_offset; offset + sizeof (Elf64_Dyn) <= section.sh_offset + section.sh_size;
             offset += sizeof (Elf64_Dyn))
        {
            const auto entry = at<Elf64_Dyn> (elf, offset);
            if (entry.d_tag == DT_NEEDED)
                insertName (names, elf, strings, entry.d_un.d_val);
        }
    });
    return names;
}

// The symbol versions a 64-bit ELF file needs from its libraries, from its .gnu.version_r
// section: "GLIBC_2.14", "GLIBCXX_3.4.30" and so on.
std::set<std::string> neededVersions (const std::vector<char>& elf)
{
    std::set<std::string> names;
    forEachSection (elf, SHT_GNU_verneed, [&] (const Elf64_Shdr& section, const Elf64_Shdr& strings) {
        size_t file = section.sh_offset;
        for (size_t f = 0; f < section.sh_info && file < elf.size(); ++f)
        {
            const auto need = at<Elf64_Verneed> (elf, file);
            size_t aux = file + need.vn_aux;
            for (size_t a = 0; a < need.vn_cnt && aux < elf.size(); ++a)
            {
                const auto version = at<Elf64_Vernaux> (elf, aux);
                insertName (names, elf, strings, version.vna_name);
                if (version.vna_next == 0)
                    break;
                aux += version.vna_next;
            }
            if (need.vn_next == 0)
                break;
            file += need.vn_next;
        }
    });
    return names;
}

// "GLIBC_2.31" as 2 * 1000 + 31, for comparing; 0 for any other name.
int glibcVersion (const std::string& name)
{
    int major = 0, minor = 0, patch = 0;
    if (std::sscanf (name.c_str(), "GLIBC_%d.%d.%d", &major, &minor, &patch) < 2)
        return 0;
    return major * 1000 + minor;
}

bool isElf (const std::vector<char>& bytes)
{
    return bytes.size() > 4 && std::memcmp (bytes.data(), ELFMAG, SELFMAG) == 0;
}

// The folder name VST3 bundles give the architecture of an ELF file.
std::string architectureOf (const std::vector<char>& elf)
{
    switch (at<Elf64_Ehdr> (elf, 0).e_machine)
    {
        case EM_X86_64:
            return "x86_64";
        case EM_AARCH64:
            return "aarch64";
        default:
            return "unknown";
    }
}

std::string thisArchitecture()
{
#if defined(__x86_64__)
    return "x86_64";
#elif defined(__aarch64__)
    return "aarch64";
#else
    return "unknown";
#endif
}

// The ELF files of the unpacked archive, by their path inside it.
std::map<std::string, std::vector<char>> binariesIn (const fs::path& dir)
{
    std::map<std::string, std::vector<char>> binaries;
    for (const auto& entry : fs::recursive_directory_iterator (dir))
    {
        if (! entry.is_regular_file())
            continue;
        auto bytes = contentsOf (entry.path());
        if (isElf (bytes))
            binaries.emplace (fs::relative (entry.path(), dir).string(), std::move (bytes));
    }
    return binaries;
}

class Package : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (dir.empty())
            GTEST_SKIP() << "TARNWELL_PACKAGE_DIR names no unpacked archive";
    }
    const fs::path dir = packageDir();
};

// The plug-ins load only where the archive's architecture is this machine's; the other one's
// archive is checked for what it needs, and loaded under qemu by ./tarnwell test-package.
class PackageForThisMachine : public Package
{
protected:
    void SetUp() override
    {
        Package::SetUp();
        if (IsSkipped())
            return;
        const auto binaries = binariesIn (dir);
        const auto module = binaries.find ("Tarnwell.so");
        ASSERT_NE (module, binaries.end());
        if (architectureOf (module->second) != thisArchitecture())
            GTEST_SKIP() << "an archive for " << architectureOf (module->second);
    }
};

//==============================================================================
TEST_F (Package, BinariesNeedOnlyLibrariesEveryDistributionHas)
{
    // glibc, zlib and FreeType (the C++ and GCC run-times are linked in); the standalone app
    // also talks to ALSA.
    const std::set<std::string> common { "libc.so.6",
                                         "libm.so.6",
                                         "libpthread.so.0",
                                         "libdl.so.2",
                                         "librt.so.1",
                                         "ld-linux-x86-64.so.2",
                                         "ld-linux-aarch64.so.1",
                                         "libz.so.1",
                                         "libfreetype.so.6" };
    const auto binaries = binariesIn (dir);
    std::set<std::string> architectures;
    for (const auto& [name, bytes] : binaries)
    {
        architectures.insert (architectureOf (bytes));
        const auto needed = neededLibraries (bytes);
        EXPECT_TRUE (needed.count ("libc.so.6")) << name;
        for (const auto& library : needed)
            EXPECT_TRUE (common.count (library) || (name == "Tarnwell" && library == "libasound.so.2"))
                << name << " needs " << library;
    }
    // One architecture per archive: the VST 2.4 and CLAP plug-ins, the VST3 and LV2 modules,
    // the standalone app, the render tool.
    ASSERT_EQ (architectures.size(), 1u);
    const auto arch = *architectures.begin();
    EXPECT_NE (arch, "unknown");
    EXPECT_TRUE (binaries.count ("Tarnwell.so"));
    EXPECT_TRUE (binaries.count ("Tarnwell.clap"));
    EXPECT_TRUE (binaries.count ("Tarnwell.vst3/Contents/" + arch + "-linux/Tarnwell.so"));
    EXPECT_TRUE (binaries.count ("Tarnwell.lv2/Tarnwell.so"));
    EXPECT_TRUE (binaries.count ("Tarnwell.lv2/TarnwellUi.so"));
    EXPECT_TRUE (binaries.count ("Tarnwell"));
    EXPECT_TRUE (binaries.count ("tarnwell-render"));
    EXPECT_EQ (binaries.size(), 7u);
}

// The LV2 plug-in's own binary draws nothing, so it loads where no display or font library is
// (a headless host, a render farm): the C library alone, with glibc's dynamic loader, which
// the linked-in C++ run-time's thread-local data is reached through.
TEST_F (Package, Lv2PluginBinaryNeedsOnlyTheCLibrary)
{
    const auto binaries = binariesIn (dir);
    const auto dsp = binaries.find ("Tarnwell.lv2/Tarnwell.so");
    ASSERT_NE (dsp, binaries.end());
    const std::set<std::string> allowed {
        "libc.so.6", "libm.so.6", "libpthread.so.0", "libdl.so.2", "ld-linux-x86-64.so.2", "ld-linux-aarch64.so.1"
    };
    const auto needed = neededLibraries (dsp->second);
    EXPECT_TRUE (needed.count ("libc.so.6"));
    for (const auto& library : needed)
        EXPECT_TRUE (allowed.count (library)) << "Tarnwell.lv2/Tarnwell.so needs " << library;
}

// Symbol versions are bound when linking: a binary that needs GLIBC_2.32 does not load on
// Debian 11 or Ubuntu 20.04, and one that needs the host's libstdc++ (GLIBCXX_*) fails where
// that is older than ours.
TEST_F (Package, BinariesNeedGlibc231AtMostAndNoSharedCxxRuntime)
{
    const auto binaries = binariesIn (dir);
    ASSERT_FALSE (binaries.empty());
    for (const auto& [name, bytes] : binaries)
    {
        int highest = 0;
        std::string highestName;
        for (const auto& version : neededVersions (bytes))
        {
            EXPECT_NE (version.rfind ("GLIBCXX_", 0), 0u) << name << " needs " << version;
            EXPECT_NE (version.rfind ("CXXABI_", 0), 0u) << name << " needs " << version;
            EXPECT_NE (version.rfind ("GCC_", 0), 0u) << name << " needs " << version;
            if (glibcVersion (version) > highest)
            {
                highest = glibcVersion (version);
                highestName = version;
            }
        }
        EXPECT_GT (highest, 0) << name;
        EXPECT_LE (highest, 2031) << name << " needs " << highestName;
        std::printf ("%s (%s): %s\n", name.c_str(), architectureOf (bytes).c_str(), highestName.c_str());
    }
}

//==============================================================================
VstIntPtr hostCallback (AEffect*, int opcode, int, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

TEST_F (PackageForThisMachine, Vst2PluginLoadsAndProcesses)
{
    void* library = dlopen ((dir / "Tarnwell.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE (library, nullptr) << dlerror();
    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry> (dlsym (library, "VSTPluginMain"));
    ASSERT_NE (entry, nullptr);
    AEffect* e = entry (&hostCallback);
    ASSERT_NE (e, nullptr);
    e->dispatcher (e, effOpen, 0, 0, nullptr, 0.0f);
    EXPECT_EQ (e->uniqueID, 0x516E5477);
    e->dispatcher (e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    e->dispatcher (e, effSetBlockSize, 0, 512, nullptr, 0.0f);
    e->dispatcher (e, effMainsChanged, 0, 1, nullptr, 0.0f);

    // An impulse on the left only; a second later the right has the reverberation.
    double rightEnergy = 0.0;
    for (int block = 0; block < 94; ++block)
    {
        std::vector<float> left (512, 0.0f), right (512, 0.0f);
        left[0] = block == 0 ? 1.0f : 0.0f;
        float* channels[] { left.data(), right.data() };
        e->processReplacing (e, channels, channels, 512);
        for (float s : right)
            rightEnergy += static_cast<double> (s) * static_cast<double> (s);
    }
    EXPECT_TRUE (std::isfinite (rightEnergy));
    EXPECT_GT (rightEnergy, 1.0e-6);
    e->dispatcher (e, effClose, 0, 0, nullptr, 0.0f);
    dlclose (library);
}

TEST_F (PackageForThisMachine, Vst3PluginLoadsAndProcesses)
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, (dir / "Tarnwell.vst3").string());
    ASSERT_EQ (found.size(), 1);
    EXPECT_EQ (found[0]->name, "Tarnwell");
    EXPECT_EQ (found[0]->manufacturerName, "Quennet");

    juce::String error;
    auto instance = format.createInstanceFromDescription (*found[0], 48000.0, 512, error);
    ASSERT_NE (instance, nullptr) << error;
    instance->prepareToPlay (48000.0, 512);
    double rightEnergy = 0.0;
    for (int block = 0; block < 94; ++block)
    {
        juce::AudioBuffer<float> buffer (2, 512);
        buffer.clear();
        buffer.setSample (0, 0, block == 0 ? 1.0f : 0.0f);
        juce::MidiBuffer midi;
        instance->processBlock (buffer, midi);
        for (int i = 0; i < 512; ++i)
            rightEnergy +=
                static_cast<double> (buffer.getSample (1, i)) * static_cast<double> (buffer.getSample (1, i));
    }
    EXPECT_TRUE (std::isfinite (rightEnergy));
    EXPECT_GT (rightEnergy, 1.0e-6);
    instance->releaseResources();
}

TEST_F (PackageForThisMachine, Lv2BundleNamesTheModuleThatDescribesTarnwell)
{
    const auto bundle = dir / "Tarnwell.lv2";
    ASSERT_TRUE (fs::exists (bundle / "manifest.ttl"));
    const auto module = bundle / "Tarnwell.so";
    void* library = dlopen (module.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE (library, nullptr) << dlerror();

    struct Descriptor
    {
        const char* uri;
    };
    using Discover = const Descriptor* (*)(std::uint32_t);
    auto discover = reinterpret_cast<Discover> (dlsym (library, "lv2_descriptor"));
    ASSERT_NE (discover, nullptr);
    const Descriptor* descriptor = discover (0);
    ASSERT_NE (descriptor, nullptr);
    EXPECT_STREQ (descriptor->uri, "https://quennet.audio/plugins/tarnwell");
    dlclose (library);
}
} // namespace

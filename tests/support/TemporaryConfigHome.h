#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace tarnwell::test
{
// XDG_CONFIG_HOME at a fresh, empty folder while it lives, so tests neither read nor write the
// user's own settings (the editor's remembered size), nor the programs they start. A test
// executable holds one for its whole run; on Windows it changes nothing.
class TemporaryConfigHome
{
public:
    TemporaryConfigHome()
    {
#ifndef _WIN32
        if (const char* was = std::getenv ("XDG_CONFIG_HOME"))
            before = was;
        hadBefore = std::getenv ("XDG_CONFIG_HOME") != nullptr;
        auto pattern = (std::filesystem::temp_directory_path() / "tarnwell-config-XXXXXX").string();
        if (mkdtemp (pattern.data()) != nullptr)
        {
            folder = pattern;
            setenv ("XDG_CONFIG_HOME", pattern.c_str(), 1);
        }
#endif
    }

    ~TemporaryConfigHome()
    {
#ifndef _WIN32
        if (hadBefore)
            setenv ("XDG_CONFIG_HOME", before.c_str(), 1);
        else
            unsetenv ("XDG_CONFIG_HOME");
        std::error_code ignored;
        if (! folder.empty())
            std::filesystem::remove_all (folder, ignored);
#endif
    }

    TemporaryConfigHome (const TemporaryConfigHome&) = delete;
    TemporaryConfigHome& operator= (const TemporaryConfigHome&) = delete;

    // Where the editor keeps its size under this folder; empty on Windows.
    std::filesystem::path editorSettings() const
    {
        return folder.empty() ? folder : folder / "Tarnwell" / "editor.settings";
    }

    // Takes away the size a test left, so the next one opens editors at 100 %.
    void forgetEditorSize() const
    {
        std::error_code ignored;
        if (! folder.empty())
            std::filesystem::remove (editorSettings(), ignored);
    }

private:
    std::filesystem::path folder;
    std::string before;
    bool hadBefore = false;
};

// One for the whole run of each test executable that includes this.
inline TemporaryConfigHome configHome;
} // namespace tarnwell::test

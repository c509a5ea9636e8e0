#pragma once

#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tarnwell::test
{
// An X server of the test's own whose XSETTINGS daemon announces a desktop scale, so that no
// other test sharing a display sees it. Both are stopped by their process ids.
class ScaledDesktop
{
public:
    explicit ScaledDesktop (int scale)
    {
        int ready[2];
        if (pipe (ready) != 0)
            return;
        // Xvfb picks a free display and writes its number to the pipe once it accepts clients.
        server = std::make_unique<ChildProcess> (std::vector<std::string> { "Xvfb", "-displayfd",
                                                                            std::to_string (ready[1]), "-screen", "0",
                                                                            "1280x1024x24", "-nolisten", "tcp" },
                                                 std::vector<std::string> {}, files + "xvfb.log");
        close (ready[1]);
        const auto number = readLine (ready[0]);
        close (ready[0]);
        if (! server->started() || number.empty())
            return;
        name = ":" + number;

        running = startSettingsDaemon ("Gdk/WindowScalingFactor " + std::to_string (scale) + "\nXft/DPI "
                                       + std::to_string (96 * 1024 * scale) + "\n");
    }

    ~ScaledDesktop()
    {
        for (auto* process : { daemon.get(), server.get() })
            if (process != nullptr)
            {
                process->signal (SIGTERM);
                process->waitForExit (std::chrono::seconds (10));
            }
        for (const char* file : { "xsettings", "xvfb.log", "xsettingsd.log" })
            std::remove ((files + file).c_str());
        if (usedAsDisplay && displayBefore.empty())
            unsetenv ("DISPLAY");
        else if (usedAsDisplay)
            setenv ("DISPLAY", displayBefore.c_str(), 1);
    }

    // Makes this desktop the DISPLAY of everything the test opens from now on, until this
    // desktop goes; false if it is not running.
    bool useAsDisplay()
    {
        if (! running)
            return false;
        if (const char* shared = std::getenv ("DISPLAY"))
            displayBefore = shared;
        setenv ("DISPLAY", name.c_str(), 1);
        usedAsDisplay = true;
        return true;
    }

    bool isRunning() const { return running; }
    const std::string& display() const { return name; }

    // New settings (xsettingsd's configuration lines), announced to every client as a change.
    void announce (const std::string& settings)
    {
        std::ofstream (files + "xsettings") << settings;
        if (daemon != nullptr)
            daemon->signal (SIGHUP);
    }

    // The settings daemon quits, and with it the settings' owner window.
    void stopSettingsDaemon()
    {
        if (daemon == nullptr)
            return;
        daemon->signal (SIGTERM);
        daemon->waitForExit (std::chrono::seconds (10));
        daemon.reset();
    }

    // A new settings daemon (after stopSettingsDaemon) with these settings; whether it owns the
    // settings once this returns.
    bool startSettingsDaemon (const std::string& settings)
    {
        announce (settings);
        daemon =
            std::make_unique<ChildProcess> (std::vector<std::string> { "xsettingsd", "-c", files + "xsettings" },
                                            std::vector<std::string> { "DISPLAY=" + name }, files + "xsettingsd.log");
        return daemon->started() && settingsAnnounced();
    }

private:
    static std::string readLine (int fd)
    {
        std::string line;
        char c = 0;
        pollfd p { fd, POLLIN, 0 };
        while (poll (&p, 1, 10000) == 1 && read (fd, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

    bool settingsAnnounced() const
    {
        Display* d = XOpenDisplay (name.c_str());
        if (d == nullptr)
            return false;
        const Atom selection = XInternAtom (d, "_XSETTINGS_S0", False);
        bool owned = false;
        for (int i = 0; i < 500 && ! owned; ++i)
        {
            owned = XGetSelectionOwner (d, selection) != None;
            if (! owned)
                std::this_thread::sleep_for (std::chrono::milliseconds (10));
        }
        XCloseDisplay (d);
        return owned;
    }

    const std::string files = ::testing::TempDir() + "tarnwell-desktop-" + std::to_string (getpid()) + "-";
    std::unique_ptr<ChildProcess> server, daemon;
    std::string name;
    bool running = false;
    bool usedAsDisplay = false;
    std::string displayBefore;
};
} // namespace tarnwell::test

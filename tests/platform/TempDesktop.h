// A throw-away freedesktop.org setup for one test: XDG config and data
// directories under a temporary directory, with the XDG variables pointing at
// them until the object goes away.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <map>
#include <string>

class TempDesktop {
public:
    TempDesktop() {
        char pattern[] = "/tmp/quillora-desktop-XXXXXX";
        root_ = mkdtemp(pattern);
        for (const char* name : kVariables) {
            const char* value = getenv(name);
            if (value != nullptr) saved_[name] = value;
        }
        Set("XDG_CONFIG_HOME", root_ + "/config");
        Set("XDG_CONFIG_DIRS", root_ + "/etc-xdg");
        Set("XDG_DATA_HOME", root_ + "/data");
        Set("XDG_DATA_DIRS", root_ + "/usr-local-share:" + root_ + "/usr-share");
        unsetenv("XDG_CURRENT_DESKTOP");
    }

    ~TempDesktop() {
        for (const char* name : kVariables) {
            auto saved = saved_.find(name);
            if (saved != saved_.end()) {
                setenv(name, saved->second.c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
        std::string command = "rm -rf '" + root_ + "'";
        (void)!system(command.c_str());
    }

    const std::string& root() const { return root_; }

    void Set(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }

    // Writes `text` to root()/relativePath, making the directories it needs.
    void Write(const std::string& relativePath, const std::string& text) {
        std::string path = root_ + "/" + relativePath;
        for (size_t slash = path.find('/', 1); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            mkdir(path.substr(0, slash).c_str(), 0700);
        }
        std::ofstream(path, std::ios::binary) << text;
    }

    // Makes the desktop entry with this Exec line the handler for mailto:
    // links.
    void MailtoHandler(const std::string& exec) { Handler("x-scheme-handler/mailto", exec); }

    // The same for another MIME type, such as message/rfc822.
    void Handler(const std::string& mimeType, const std::string& exec) {
        Write("config/mimeapps.list", "[Default Applications]\n" + mimeType + "=mail.desktop\n");
        Write("data/applications/mail.desktop",
              "[Desktop Entry]\nType=Application\nName=Mail\nExec=" + exec + "\n");
    }

    // An executable script that writes its arguments, one a line, to
    // root()/<name>.out; its path.
    std::string Recorder(const std::string& name) {
        const std::string path = root_ + "/" + name;
        Write(name, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >" + path +
                        ".tmp && mv " + path + ".tmp " + path + ".out\n");
        chmod(path.c_str(), 0700);
        return path;
    }

private:
    static constexpr const char* kVariables[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS",
                                                 "XDG_DATA_HOME", "XDG_DATA_DIRS",
                                                 "XDG_CURRENT_DESKTOP"};
    std::string root_;
    std::map<std::string, std::string> saved_;
};

// Looks up the desktop's handler for a MIME type (a file type, or a URL
// scheme as x-scheme-handler/<scheme>) the way freedesktop.org desktops do:
// mimeapps.list files name desktop entries for the type, and the first
// installed entry's Exec line is the command.
#include "registry_desktop.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

// XDG directory variables: relative paths are invalid and ignored.
bool IsAbsolute(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

std::string HomeDirectory(const char* variable, const char* underHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && IsAbsolute(value)) return value;
    const char* home = std::getenv("HOME");
    if (home == nullptr || !IsAbsolute(home)) return std::string();
    return std::string(home) + underHome;
}

std::vector<std::string> DirectoryList(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    std::vector<std::string> dirs;
    for (const std::string& dir : Split(value != nullptr && *value ? value : fallback, ':')) {
        if (IsAbsolute(dir)) dirs.push_back(dir);
    }
    return dirs;
}

// Home directory first, then the system directories, most important first.
std::vector<std::string> ConfigDirectories() {
    std::vector<std::string> dirs;
    std::string home = HomeDirectory("XDG_CONFIG_HOME", "/.config");
    if (!home.empty()) dirs.push_back(home);
    for (const std::string& dir : DirectoryList("XDG_CONFIG_DIRS", "/etc/xdg")) dirs.push_back(dir);
    return dirs;
}

std::vector<std::string> ApplicationDirectories() {
    std::vector<std::string> dirs;
    std::string home = HomeDirectory("XDG_DATA_HOME", "/.local/share");
    if (!home.empty()) dirs.push_back(home + "/applications");
    for (const std::string& dir : DirectoryList("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
        dirs.push_back(dir + "/applications");
    }
    return dirs;
}

// In each directory the current desktop's own list comes before the shared one.
std::vector<std::string> MimeAppsFiles() {
    std::vector<std::string> names;
    const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
    if (desktops != nullptr) {
        for (const std::string& desktop : Split(desktops, ':')) {
            if (!desktop.empty()) names.push_back(Lowercase(desktop) + "-mimeapps.list");
        }
    }
    names.push_back("mimeapps.list");

    std::vector<std::string> dirs = ConfigDirectories();
    for (const std::string& dir : ApplicationDirectories()) dirs.push_back(dir);

    std::vector<std::string> files;
    for (const std::string& dir : dirs) {
        for (const std::string& name : names) files.push_back(dir + "/" + name);
    }
    return files;
}

bool IsRegularFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Calls visit(group, key, value) for each "key=value" line of a desktop-style
// file, with spaces around the '=' removed and the value otherwise untouched.
template <typename Visit>
void ReadKeyFile(const std::string& path, Visit visit) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::string group;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            group = close == std::string::npos ? std::string() : line.substr(1, close - 1);
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        size_t valueStart = line.find_first_not_of(" \t", equals + 1);
        std::string value =
            valueStart == std::string::npos ? std::string() : line.substr(valueStart);
        visit(group, Trimmed(line.substr(0, equals)), value);
    }
}

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Longest name of one directory entry: no longer name can be found.
constexpr size_t kNameMax = 255;
// Lookups one desktop ID may cost in one applications directory.
constexpr size_t kLookupLimit = 4096;

// The file for desktop ID `id` under applications directory `dir`, or "".
// An ID "a-b.desktop" may be dir/a-b.desktop or, from a subdirectory,
// dir/a/b.desktop: every '-' may stand for a '/'. The walk descends only
// into subdirectories that exist, so its cost follows the directory tree, not
// the number of dashes; the number of lookups is bounded all the same.
std::string DesktopFile(const std::string& dir, const std::string& id) {
    struct Pending {
        std::string directory;
        std::string rest;  // the part of the ID still to be placed under it
    };
    std::vector<Pending> pending{{dir, id}};
    size_t lookups = 0;
    while (!pending.empty()) {
        Pending here = std::move(pending.back());
        pending.pop_back();
        if (here.rest.size() <= kNameMax) {
            std::string path = here.directory + "/" + here.rest;
            if (++lookups > kLookupLimit) return std::string();
            if (IsRegularFile(path)) return path;
        }
        // Subdirectories named by the text before each dash, shortest
        // first: pushed in reverse, they come off the stack in that order.
        std::vector<Pending> deeper;
        for (size_t dash = here.rest.find('-'); dash != std::string::npos && dash <= kNameMax;
             dash = here.rest.find('-', dash + 1)) {
            const std::string name = here.rest.substr(0, dash);
            if (name.empty() || name == "." || name == "..") continue;  // stay inside `dir`
            std::string subdirectory = here.directory + "/" + name;
            if (++lookups > kLookupLimit) return std::string();
            if (IsDirectory(subdirectory)) {
                deeper.push_back({std::move(subdirectory), here.rest.substr(dash + 1)});
            }
        }
        for (auto it = deeper.rbegin(); it != deeper.rend(); ++it)
            pending.push_back(std::move(*it));
    }
    return std::string();
}

// The Exec line of the installed desktop entry `id`. The first file found
// for an ID hides any later one; a hidden entry counts as not installed.
bool InstalledEntryCommand(const std::string& id, std::string& command) {
    if (id.empty() || id.find('/') != std::string::npos) return false;
    for (const std::string& dir : ApplicationDirectories()) {
        const std::string path = DesktopFile(dir, id);
        if (path.empty()) continue;
        bool hidden = false;
        bool found = false;
        ReadKeyFile(
            path, [&](const std::string& group, const std::string& key, const std::string& value) {
                if (group != "Desktop Entry") return;
                if (key == "Exec" && !found) {
                    command = value;
                    found = true;
                } else if (key == "Hidden" && value == "true") {
                    hidden = true;
                }
            });
        return found && !hidden;
    }
    return false;
}

// The desktop IDs that one group of a mimeapps.list names for `mimeType`.
std::vector<std::string> ListedIds(const std::string& path, const std::string& group,
                                   const std::string& mimeType) {
    std::vector<std::string> ids;
    ReadKeyFile(
        path, [&](const std::string& fileGroup, const std::string& key, const std::string& value) {
            if (fileGroup != group || Lowercase(key) != mimeType) return;
            for (const std::string& id : Split(value, ';')) {
                std::string trimmed = Trimmed(id);
                if (!trimmed.empty()) ids.push_back(trimmed);
            }
        });
    return ids;
}

}  // namespace

bool DesktopSchemeHandlerCommand(const std::string& scheme, std::string& command) {
    if (scheme.empty()) return false;
    return DesktopMimeHandlerCommand("x-scheme-handler/" + scheme, command);
}

bool DesktopMimeHandlerCommand(const std::string& type, std::string& command) {
    if (type.empty()) return false;
    const std::string mimeType = Lowercase(type);
    std::vector<std::string> files;
    for (const std::string& file : MimeAppsFiles()) {
        if (IsRegularFile(file)) files.push_back(file);
    }

    // The user's or the system's chosen default: the first installed one.
    for (const std::string& file : files) {
        for (const std::string& id : ListedIds(file, "Default Applications", mimeType)) {
            if (InstalledEntryCommand(id, command)) return true;
        }
    }

    // Otherwise the most important added association that no list of equal
    // or higher importance has removed.
    std::set<std::string> removed;
    for (const std::string& file : files) {
        for (const std::string& id : ListedIds(file, "Removed Associations", mimeType)) {
            removed.insert(id);
        }
        for (const std::string& id : ListedIds(file, "Added Associations", mimeType)) {
            if (removed.count(id) == 0 && InstalledEntryCommand(id, command)) return true;
        }
    }
    return false;
}

#include "engine/git_paths.h"

#include <algorithm>

#include "engine/path_list.h"
#include "engine/scan_file_reader.h"
#include "engine/system_path.h"

namespace tarvo {

namespace {

// Reads come in pieces of this size, so a small file takes a small buffer.
constexpr int32_t kReadPiece = 16 << 10;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

// Git writes the paths it keeps in files with '/'; Windows takes either.
bool isAbsolute(std::string_view path) {
    return (!path.empty() && (path[0] == '/' || path[0] == '\\')) ||
           (path.size() >= 2 && path[1] == ':');
}

std::string joined(const std::string& folder, std::string_view name) {
    return folder + kPathSeparator + std::string(name);
}

// The first line of a small file Git writes ("gitdir: ..."), trimmed.
std::string firstLine(const std::string& path) {
    std::string text;
    if (!readRuleFile(path, text)) return "";
    return std::string(trimmed(std::string_view(text).substr(0, text.find('\n'))));
}

}  // namespace

bool readRuleFile(const std::string& path, std::string& text, intptr_t folder, const char* name) {
    ScanFileReader file;
    text.clear();
    if (!file.open(path.c_str(), folder, name)) return false;
    // One byte past the limit tells whether the file goes on.
    const size_t wanted = kMaxRuleFileBytes + 1;
    text.resize(std::min<size_t>(kReadPiece, wanted));
    size_t got = static_cast<size_t>(std::max(file.readStart(text.data(), kReadPiece), 0));
    while (got == text.size() && got < wanted) {
        text.resize(std::min(text.size() * 2, wanted));
        const int32_t more = file.read(text.data() + got, static_cast<int32_t>(text.size() - got));
        if (more <= 0) break;
        got += static_cast<size_t>(more);
    }
    text.resize(got);
    if (got > kMaxRuleFileBytes) {
        const size_t lastFeed = text.rfind('\n', kMaxRuleFileBytes - 1);
        text.resize(lastFeed == std::string::npos ? 0 : lastFeed + 1);
    }
    return true;
}

// Git's configuration, as far as this setting needs it: "[core]" sections
// (a section with a subsection is another section), "key = value" lines
// with the key in any case, values in double quotes or not, '\' escapes,
// and '#' or ';' comments outside quotes.
std::optional<std::string> excludesFileSetting(std::string_view config) {
    std::optional<std::string> setting;
    bool inCore = false;
    for (size_t start = 0; start < config.size();) {
        size_t end = config.find('\n', start);
        if (end == std::string_view::npos) end = config.size();
        std::string_view line = trimmed(config.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line[0] == '[') {
            const size_t close = line.find(']');
            if (close == std::string_view::npos) continue;
            inCore = equalsIgnoringCase(trimmed(line.substr(1, close - 1)), "core");
            line = trimmed(line.substr(close + 1));  // a key may follow on the same line
        }
        if (!inCore || line.empty() || line[0] == '#' || line[0] == ';') continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos ||
            !equalsIgnoringCase(trimmed(line.substr(0, equals)), "excludesFile")) {
            continue;
        }
        std::string value;
        size_t kept = 0;  // the value's length without blanks after it
        bool quoted = false;
        for (std::string_view rest = trimmed(line.substr(equals + 1)); !rest.empty();
             rest.remove_prefix(1)) {
            char c = rest[0];
            if (c == '"') {
                quoted = !quoted;
                kept = value.size();
                continue;
            }
            if (!quoted && (c == '#' || c == ';')) break;
            if (c == '\\' && rest.size() > 1) {
                rest.remove_prefix(1);
                c = rest[0] == 'n' ? '\n' : rest[0] == 't' ? '\t' : rest[0] == 'b' ? '\b' : rest[0];
                value += c;
                kept = value.size();
                continue;
            }
            value += c;
            if (quoted || !isBlank(c)) kept = value.size();
        }
        value.resize(kept);
        setting = value;
    }
    return setting;
}

std::string globalExcludesPath() {
#ifdef _WIN32
    const std::string home = environmentValue("USERPROFILE");
#else
    const std::string home = environmentValue("HOME");
#endif
    const std::string xdg = environmentValue("XDG_CONFIG_HOME");
    if (home.empty() && xdg.empty()) return "";
    const std::string configHome = xdg.empty() ? joined(home, ".config") : xdg;
    std::optional<std::string> setting;
    std::string config;
    for (const std::string& file :
         {joined(joined(configHome, "git"), "config"), joined(home, ".gitconfig")}) {
        if (!readRuleFile(file, config)) continue;
        if (std::optional<std::string> found = excludesFileSetting(config)) setting = found;
    }
    if (!setting) return joined(joined(configHome, "git"), "ignore");
    if (setting->starts_with("~/")) return joined(home, setting->substr(2));
    return *setting;
}

std::string infoExcludePath(const std::string& top) {
    std::string gitFolder = joined(top, ".git");
    const std::string pointer = firstLine(gitFolder);
    if (pointer.starts_with("gitdir:")) {
        const std::string target(trimmed(std::string_view(pointer).substr(7)));
        gitFolder = isAbsolute(target) ? target : joined(top, target);
    }
    const std::string common = firstLine(joined(gitFolder, "commondir"));
    if (!common.empty()) gitFolder = isAbsolute(common) ? common : joined(gitFolder, common);
    return joined(joined(gitFolder, "info"), "exclude");
}

}  // namespace tarvo

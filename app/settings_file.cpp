#include "app/settings_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

#include "app/settings_file_system.h"
#include "engine/file_memory.h"
#include "engine/path_hash.h"
#include "engine/scan_file_reader.h"

namespace tarvo {

namespace {

constexpr size_t kReadChunk = 64 * 1024;   // stdio-sized reads; lines are found with memchr
constexpr size_t kWriteChunk = 64 * 1024;  // written bytes gathered into calls of this size
constexpr const char* kTemporaryMark = ".tmp-";
constexpr size_t kTemporaryRandomDigits = 16;  // 64 random bits
// The longest line after line 8 read whole: a text at its limit after a key.
constexpr size_t kKeyedLineLimit = kMaxTextLength + 32;

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

// Whether a line of `n` bytes ending in `last` (its line feed left out)
// loses that byte as the carriage return of a CR LF line end: not when the
// line is cut anyway, longer than `limit` without it.
bool dropsCarriageReturn(size_t n, char last, size_t limit) {
    return n > 0 && n <= limit + 1 && last == '\r';
}

// Hands out the file's lines one at a time: at most `limit` bytes of each,
// the rest of a longer line skipped (never read as the next line), the line
// feed removed. Any byte, NUL included, is line content.
class LineReader {
public:
    explicit LineReader(ScanFileReader& file) : file_(file), buffer_(kReadChunk) {}

    // False at end of file, with `line` left as it was.
    bool next(std::string& line, size_t limit = kMaxTextLength) {
        if (pos_ == len_ && !fill()) return false;
        // One byte past the limit is kept so that a "\r" in that place can
        // still be dropped before the line counts as cut.
        const size_t keep = limit + 1;
        size_t dropped = 0;
        line.clear();
        for (;;) {
            if (pos_ == len_ && !fill()) break;  // an unterminated last line
            const char* start = buffer_.data() + pos_;
            const size_t available = len_ - pos_;
            const char* feed = static_cast<const char*>(std::memchr(start, '\n', available));
            const size_t n = feed ? static_cast<size_t>(feed - start) : available;
            const size_t take = std::min(n, keep - std::min(line.size(), keep));
            line.append(start, take);
            dropped += n - take;
            pos_ += n;
            if (feed) {
                ++pos_;
                break;
            }
        }
        if (dropCarriageReturns_ &&
            dropsCarriageReturn(line.size() + dropped, line.empty() ? '\0' : line.back(), limit)) {
            line.pop_back();
        }
        cut_ = dropped > 0 || line.size() > limit;
        if (cut_) line.resize(limit);
        return true;
    }

    // The next line whole, however long, its line feed included (a last
    // line may lack one): valid until the next read. False at end of file.
    bool nextWhole(std::string_view& raw) {
        for (size_t searched = pos_;;) {
            const char* feed = static_cast<const char*>(
                std::memchr(buffer_.data() + searched, '\n', len_ - searched));
            if (feed) {
                const size_t end = static_cast<size_t>(feed - buffer_.data()) + 1;
                raw = std::string_view(buffer_.data() + pos_, end - pos_);
                pos_ = end;
                return true;
            }
            // The line's start moves to the buffer's, which doubles when the
            // line fills it.
            std::memmove(buffer_.data(), buffer_.data() + pos_, len_ - pos_);
            len_ -= pos_;
            pos_ = 0;
            searched = len_;
            if (len_ == buffer_.size()) buffer_.resize(2 * buffer_.size());
            const size_t room = std::min<size_t>(buffer_.size() - len_, INT32_MAX);
            const int32_t got = file_.read(buffer_.data() + len_, static_cast<int32_t>(room));
            if (got <= 0) {
                if (len_ == 0) return false;
                raw = std::string_view(buffer_.data(), len_);
                pos_ = len_;
                return true;
            }
            len_ += static_cast<size_t>(got);
        }
    }

    bool lastLineWasCut() const { return cut_; }
    void dropCarriageReturns() { dropCarriageReturns_ = true; }

private:
    bool fill() {
        len_ = static_cast<size_t>(
            std::max(file_.read(buffer_.data(), static_cast<int32_t>(buffer_.size())), 0));
        pos_ = 0;
        return len_ > 0;
    }

    ScanFileReader& file_;
    std::vector<char> buffer_;
    size_t pos_ = 0;  // next unread byte of buffer_
    size_t len_ = 0;  // bytes in buffer_
    bool cut_ = false;
    bool dropCarriageReturns_ = false;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Reads one decimal integer at p (leading blanks and a sign allowed) and
// moves p past it. False, p unchanged, when there is none or it does not
// fit 32 bits.
bool parseInt(const char*& p, const char* end, int32_t& value) {
    const char* q = p;
    while (q < end && isBlank(*q))
        ++q;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) negative = *q++ == '-';
    if (q == end || *q < '0' || *q > '9') return false;
    int64_t v = 0;
    for (; q < end && *q >= '0' && *q <= '9'; ++q) {
        v = v * 10 + (*q - '0');
        if (v > int64_t{INT32_MAX} + 1) return false;
    }
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return false;
    value = static_cast<int32_t>(v);
    p = q;
    return true;
}

// Texts are C strings to the rest of the program: a NUL ends them.
std::string textOf(const std::string& line) {
    return line.substr(0, line.find('\0'));
}

// A text as it can be written on its own line and read back: cut at a line
// feed or NUL (neither can be held in a line) and at the text limit.
std::string_view savedText(const std::string& text) {
    std::string_view t(text);
    t = t.substr(0, std::min(t.find('\n'), t.find('\0')));
    return t.substr(0, kMaxTextLength);
}

// ---------------------------------------------------------------------------
// Keyed lines
// ---------------------------------------------------------------------------

// Settings the fixed layout has no line for, each read from and written to
// "key=value" lines after line 8. No key begins with a digit, so a reader
// that takes every later line as a remembered file skips them all.
struct KeyedSetting {
    std::string_view key;
    // Takes the value of one line with this key; `cut` when the line was
    // longer than kKeyedLineLimit and lost its end.
    void (*read)(Settings& settings, std::string_view value, bool cut);
    // Hands `line` the value of each line to write, in order.
    void (*write)(const Settings& settings, const std::function<void(std::string_view)>& line);
};

// The integers of a value written as "A,B,..." with nothing else in it,
// each within [low, high]; nothing when it is not so.
template <size_t N>
std::optional<std::array<int32_t, N>> integersOf(std::string_view value, int32_t low,
                                                 int32_t high) {
    std::array<int32_t, N> numbers{};
    const char* p = value.data();
    const char* const end = p + value.size();
    for (size_t i = 0; i < N; ++i) {
        if (i > 0 && (p == end || *p++ != ',')) return std::nullopt;
        if (p == end || *p < '0' || *p > '9' || !parseInt(p, end, numbers[i])) return std::nullopt;
        if (numbers[i] < low || numbers[i] > high) return std::nullopt;
    }
    if (p != end) return std::nullopt;
    return numbers;
}

// Each row reads its value and writes it back; a value this version cannot
// take leaves the setting at its default and is not written again.
// A box's history, one line per entry, most recent first. A line whose text
// no box could have searched is skipped whole, never cut or changed into a
// text that did not start a search; a line cut at kKeyedLineLimit is one.
template <SearchHistory SearchHistories::*box>
void readHistoryEntry(Settings& s, std::string_view value, bool) {
    (s.history.*box).addOlder(value);
}
template <SearchHistory SearchHistories::*box>
void writeHistory(const Settings& s, const std::function<void(std::string_view)>& line) {
    for (const std::string& entry : (s.history.*box).entries())
        line(entry);
}

const KeyedSetting kKeyedSettings[] = {
    {"editor",
     [](Settings& s, std::string_view value, bool) {
         s.editorCommand = textOf(std::string(value));
     },
     [](const Settings& s, const std::function<void(std::string_view)>& line) {
         if (!s.editorCommand.empty()) line(savedText(s.editorCommand));
     }},
    // The window's shape, as the user sized it.
    {"columns",
     [](Settings& s, std::string_view value, bool) {
         if (const auto widths = integersOf<2>(value, 1, kMaxColumnWidth))
             s.columnWidths = ColumnWidths{(*widths)[0], (*widths)[1]};
     },
     [](const Settings& s, const std::function<void(std::string_view)>& line) {
         if (s.columnWidths)
             line(std::to_string(s.columnWidths->rank) + "," +
                  std::to_string(s.columnWidths->file));
     }},
    {"split",
     [](Settings& s, std::string_view value, bool) {
         if (const auto share = integersOf<1>(value, 0, kShareScale)) s.listShare = (*share)[0];
     },
     [](const Settings& s, const std::function<void(std::string_view)>& line) {
         if (s.listShare) line(std::to_string(*s.listShare));
     }},
    {"maximized", [](Settings& s, std::string_view value, bool) { s.maximized = value == "1"; },
     [](const Settings& s, const std::function<void(std::string_view)>& line) {
         if (s.maximized) line("1");
     }},
    {"tab-width",
     [](Settings& s, std::string_view value, bool) {
         if (const std::optional<int> width = parseTabWidth(value)) s.tabWidth = *width;
     },
     [](const Settings& s, const std::function<void(std::string_view)>& line) {
         if (s.tabWidth) line(std::to_string(*s.tabWidth));
     }},
    {"find", readHistoryEntry<&SearchHistories::find>, writeHistory<&SearchHistories::find>},
    {"path", readHistoryEntry<&SearchHistories::path>, writeHistory<&SearchHistories::path>},
    // The filters of the Search menu, each written only when it is set.
    {"skip-ignored",
     [](Settings& s, std::string_view value, bool) {
         const char* p = value.data();
         int32_t number = 0;
         s.request.options.skipIgnoredFiles =
             parseInt(p, value.data() + value.size(), number) && number != 0;
     },
     [](const Settings& s, const std::function<void(std::string_view)>& line) {
         if (s.request.options.skipIgnoredFiles) line("1");
     }},
    {"include",
     [](Settings& s, std::string_view value, bool) {
         s.request.includeList = cutToTextLimit(textOf(std::string(value)));
     },
     [](const Settings& s, const std::function<void(std::string_view)>& line) {
         if (!s.request.includeList.empty()) line(savedText(s.request.includeList));
     }},
    {"skip-folders",
     [](Settings& s, std::string_view value, bool) {
         s.request.skipFolders = cutToTextLimit(textOf(std::string(value)));
     },
     [](const Settings& s, const std::function<void(std::string_view)>& line) {
         if (!s.request.skipFolders.empty()) line(savedText(s.request.skipFolders));
     }},
};

// A line of the form key=value, its key of lower-case letters, digits and
// dashes, starting with a letter: the key, or empty when it is none.
std::string_view keyOf(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == 0 || equals == std::string_view::npos || line[0] < 'a' || line[0] > 'z')
        return {};
    const std::string_view key = line.substr(0, equals);
    const bool named = std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    });
    return named ? key : std::string_view{};
}

// Reads `line` into its setting when it is a keyed line; one whose key this
// version does not know is kept as it stands, unless it was cut (written
// back cut, it would say something else). False for any other line.
bool readKeyedLine(std::string_view line, bool cut, Settings& settings) {
    const std::string_view key = keyOf(line);
    if (key.empty()) return false;
    const std::string_view value = line.substr(key.size() + 1);
    for (const KeyedSetting& setting : kKeyedSettings) {
        if (setting.key == key) {
            setting.read(settings, value, cut);
            return true;
        }
    }
    if (!cut) settings.otherKeyedLines.emplace_back(line);
    return true;
}

// The saved rectangle is used only when enough of it lies on the primary
// screen, and only when it is a real rectangle (right of left, below top).
bool placementFits(const WindowRect& r, int32_t screenWidth, int32_t screenHeight) {
    const int64_t sw = screenWidth;
    const int64_t sh = screenHeight;
    return 0 <= r.left && r.left <= sw - kMinOnScreen && kMinOnScreen <= r.right && r.right <= sw &&
           0 <= r.top && r.top <= sh - kMinOnScreen && kMinOnScreen <= r.bottom && r.bottom <= sh &&
           r.left < r.right && r.top < r.bottom;
}

void readWindowRect(const std::string& line, int32_t screenWidth, int32_t screenHeight,
                    WindowRect& rect) {
    const char* p = line.data();
    const char* end = p + line.size();
    WindowRect read{};
    if (!parseInt(p, end, read.left) || !parseInt(p, end, read.top) ||
        !parseInt(p, end, read.right) || !parseInt(p, end, read.bottom)) {
        return;
    }
    if (placementFits(read, screenWidth, screenHeight)) rect = read;
}

std::array<bool*, 6> optionsInFileOrder(SearchOptions& o) {
    return {&o.recursive,          &o.skipBinaryFiles, &o.searchFileNames,
            &o.caseSensitiveBonus, &o.wholeWordBonus,  &o.cppHeuristics};
}

// The sort mode, kept as read, and the six options, any number but 0 being
// on; a value that is missing (or unreadable) keeps its default, and so do
// all after it.
void readOptions(const std::string& line, Settings& settings) {
    const char* p = line.data();
    const char* end = p + line.size();
    int32_t value = 0;
    if (!parseInt(p, end, value)) return;
    settings.sortMode = static_cast<SortMode>(value);
    const std::array<bool*, 6> options = optionsInFileOrder(settings.request.options);
    for (size_t i = 0; i < options.size(); ++i) {
        if (!parseInt(p, end, value)) return;
        settings.optionNumbers[i] = value;
        *options[i] = value != 0;
    }
}

// "priority path": the path is everything after the first space that
// follows the number. False for a line that does not fit this.
bool parseMemoryRow(std::string_view line, int32_t& priority, std::string_view& path) {
    const char* p = line.data();
    const char* end = p + line.size();
    if (!parseInt(p, end, priority)) return false;
    // Found by hand: the space mostly follows the number at once, and a
    // memchr call per row would cost more than the search.
    const char* space = std::find(p, end, ' ');
    if (space == end) return false;
    path = std::string_view(space + 1, end - (space + 1));
    // No file is named by an empty path or one holding a NUL byte.
    return !path.empty() && path.find('\0') == std::string_view::npos;
}

// The section as tarvo-find reads it: the rows the run owns go into the
// memory, every other line into `foreign`, as read. An empty first line is
// line 8, which every save writes anyway. The lines are taken as LineReader
// takes them: a carriage return before the line feed dropped in a CR LF
// file, and a line past kMaxTextLength cut. Each row's path goes into the
// memory's own text as it is read, so the file is never held whole.
void readOwnedRows(LineReader& reader, Settings& read, FileMemory& memory, ForeignRows& foreign) {
    std::vector<FileMemory::Row> rows;
    bool rowSeen = false;
    bool first = true;
    for (std::string_view raw; reader.nextWhole(raw);) {
        const bool feed = raw.back() == '\n';
        const size_t n = feed ? raw.size() - 1 : raw.size();
        const bool carriageReturn =
            read.lineEnds == LineEnds::CrLf &&
            dropsCarriageReturn(n, n > 0 ? raw[n - 1] : '\0', kMaxTextLength);
        const size_t length = carriageReturn ? n - 1 : n;
        const bool cut = length > kMaxTextLength;
        if (std::exchange(first, false) && length == 0) continue;
        int32_t priority = 0;
        std::string_view path;
        // A cut row names a different, longer path: it is no row of this run.
        const bool row = !cut && parseMemoryRow(raw.substr(0, length), priority, path);
        const bool ownRow = row && foreign.owned(path, read);
        rowSeen = rowSeen || row;
        if (ownRow) {
            rows.push_back({priority, pathHash(path), memory.keepPath(path)});
            continue;
        }
        // The keyed lines are read as the window reads them; they are kept
        // as they stand all the same, so the run writes them back unchanged.
        if (!rowSeen) readKeyedLine(raw.substr(0, length), cut, read);
        std::string& kept = rowSeen ? foreign.trailing : foreign.leading;
        kept += raw;
        // The file's last line may lack its line end; lines follow it now.
        if (!feed) kept += read.lineEnds == LineEnds::CrLf ? "\r\n" : "\n";
    }
    // Highest priority first, so that at the memory's cap the highest are
    // kept; ties stay in file order, and so does a file written best first.
    orderByPriority(rows, [](const FileMemory::Row& row) { return row.priority; });
    memory.addRows(rows);
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

int32_t shifted(int32_t value, bool offset) {
    if (!offset) return value;
    const int64_t v = int64_t{value} + kNewWindowOffset;
    return static_cast<int32_t>(std::min<int64_t>(v, INT32_MAX));
}

// Gathers the lines and hands them to the replacement file in large writes.
class SettingsWriter {
public:
    SettingsWriter(FileReplacement& file, LineEnds ends)
        : file_(file), end_(ends == LineEnds::CrLf ? "\r\n" : "\n") {}

    void line(std::string_view text) {
        buffer_.append(text);
        buffer_.append(end_);
        if (buffer_.size() >= kWriteChunk) flush();
    }
    // Lines as they were read, line ends included.
    void lines(std::string_view bytes) {
        buffer_.append(bytes);
        if (buffer_.size() >= kWriteChunk) flush();
    }
    // False once any write failed.
    bool flush() {
        written_ = written_ && file_.write(buffer_.data(), buffer_.size());
        buffer_.clear();
        return written_;
    }

private:
    FileReplacement& file_;
    std::string_view end_;
    std::string buffer_;
    bool written_ = true;
};

// Every known setting's lines in the table's order, then the lines whose
// keys only a later version knows, as they were read.
void writeKeyedLines(SettingsWriter& out, const Settings& s) {
    std::string line;
    for (const KeyedSetting& setting : kKeyedSettings) {
        setting.write(s, [&](std::string_view value) {
            line.assign(setting.key).append("=").append(value);
            out.line(line);
        });
    }
    for (const std::string& other : s.otherKeyedLines)
        out.line(other);
}

bool writeSettings(SettingsWriter& out, bool offset, const Settings& s, const FileMemory& memory,
                   const ForeignRows* foreign) {
    out.line(kSettingsHeader);
    char numbers[96];
    const WindowRect& r = s.windowRect;
    std::snprintf(numbers, sizeof numbers, "%d %d %d %d", shifted(r.left, offset),
                  shifted(r.top, offset), shifted(r.right, offset), shifted(r.bottom, offset));
    out.line(numbers);
    out.line(savedText(s.request.findText));
    out.line(savedText(s.request.pathText));
    out.line(savedText(s.request.highlightList));
    out.line(savedText(s.request.excludeList));
    std::string line = std::to_string(static_cast<int32_t>(s.sortMode));
    SearchOptions options = s.request.options;
    const std::array<bool*, 6> inOrder = optionsInFileOrder(options);
    for (size_t i = 0; i < inOrder.size(); ++i) {
        const int32_t read = s.optionNumbers[i];
        line += ' ' + std::to_string((read != 0) == *inOrder[i] ? read : *inOrder[i] ? 1 : 0);
    }
    out.line(line);

    out.line("");
    // tarvo-find writes the lines it does not own back as they were read,
    // the keyed lines among them.
    if (foreign) {
        out.lines(foreign->leading);
    } else {
        writeKeyedLines(out, s);
    }
    std::string row;
    for (int32_t index : memory.indexesToSave()) {
        const std::string path = memory.path(index);
        row = std::to_string(memory.entry(index).priority) + ' ';
        // A row that could not be read back as the same file is not written.
        if (path.empty() || path.find('\n') != std::string_view::npos ||
            row.size() + path.size() > static_cast<size_t>(kMaxTextLength)) {
            continue;
        }
        out.line(row.append(path));
    }
    if (foreign) out.lines(foreign->trailing);
    return out.flush();
}

}  // namespace

std::string temporaryPathFor(const std::string& target, uint32_t processId) {
    // The process id keeps two running saves apart; the random digits keep
    // the name from being guessed and planted beforehand.
    std::random_device random;
    const uint64_t bits = (uint64_t{random()} << 32) | random();
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "%s%u-%016llx", kTemporaryMark, processId,
                  static_cast<unsigned long long>(bits));
    return target + suffix;
}

bool isTemporaryNameOf(std::string_view targetName, std::string_view name) {
    if (!name.starts_with(targetName)) return false;
    name.remove_prefix(targetName.size());
    if (!name.starts_with(kTemporaryMark)) return false;
    name.remove_prefix(std::strlen(kTemporaryMark));
    const size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos) return false;
    const std::string_view id = name.substr(0, dash);
    const std::string_view random = name.substr(dash + 1);
    return std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           random.size() == kTemporaryRandomDigits &&
           std::all_of(random.begin(), random.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool loadSettings(const char* path, int32_t screenWidth, int32_t screenHeight, Settings& settings,
                  FileMemory& memory, std::string* refusal, ForeignRows* foreign) {
    settings = Settings{};
    if (foreign) {
        foreign->leading.clear();
        foreign->trailing.clear();
    }
    bool ours = true;  // nothing foreign would be lost by saving over it
    ScanFileReader file;
    const SettingsFileKind kind = path ? settingsFileKind(path) : SettingsFileKind::Missing;
    if (kind == SettingsFileKind::Other) {
        // A FIFO would block and a device never end: neither is opened.
        ours = false;
        if (refusal) *refusal = kNotRegularFile;
    } else if (kind == SettingsFileKind::Regular && file.open(path)) {
        LineReader reader(file);
        std::string line;
        bool matches = false;
        if (reader.next(line)) {
            ours = false;
            if (line == kSettingsHeader) {
                matches = true;
                settings.lineEnds = LineEnds::Lf;
            } else if (line == std::string(kSettingsHeader) + '\r') {
                matches = true;
                settings.lineEnds = LineEnds::CrLf;
                reader.dropCarriageReturns();
            }
        }
        if (matches) {
            ours = true;
            // Each read stops at the end of the file, so a missing line keeps
            // its setting's default and is never taken from an earlier line.
            if (reader.next(line))
                readWindowRect(line, screenWidth, screenHeight, settings.windowRect);
            std::string* texts[] = {&settings.request.findText, &settings.request.pathText,
                                    &settings.request.highlightList, &settings.request.excludeList};
            for (std::string* text : texts) {
                if (reader.next(line)) *text = textOf(line);
            }
            if (reader.next(line)) readOptions(line, settings);

            memory.clear();
            if (foreign) {
                readOwnedRows(reader, settings, memory, *foreign);
            } else {
                int32_t priority = 0;
                std::string_view rowPath;
                while (reader.next(line, kKeyedLineLimit)) {
                    const bool cut = reader.lastLineWasCut();
                    if (readKeyedLine(line, cut, settings)) continue;
                    // A cut row names a different, longer path: it is skipped.
                    if (!cut && parseMemoryRow(line, priority, rowPath))
                        memory.add(std::string(rowPath).c_str(), priority);
                }
            }
        } else if (!ours && refusal) {
            *refusal = kNotSettingsFile;
        }
    }
    settings.lastFindText = settings.request.findText;
    settings.lastPathText = settings.request.pathText;
    return ours;
}

bool saveSettings(const char* path, bool offset, const Settings& settings, const FileMemory& memory,
                  std::string* reason, const ForeignRows* foreign) {
    if (path == nullptr || *path == '\0') return false;
    FileReplacement file;
    bool saved = file.open(path);
    if (saved) {
        SettingsWriter out(file, settings.lineEnds);
        // Whatever fails, the old file is untouched and the temporary file
        // goes with `file`.
        saved = writeSettings(out, offset, settings, memory, foreign) && file.commit();
    }
    if (!saved && reason) *reason = file.reason();
    return saved;
}

}  // namespace tarvo

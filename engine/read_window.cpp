#include "engine/read_window.h"

#include <cstring>

namespace tarvo {

namespace {

// A line's excerpt is taken from its first bytes up to here: a term
// further in leaves the line's start kept, as a line too long to read again
// is printed as stored.
constexpr int64_t kMaxExcerptLine = 16 << 20;

}  // namespace

ReadWindow::ReadWindow(int32_t size, int32_t moveAt, int32_t move, int32_t slack)
    : size_(size),
      move_(move),
      stretch_(moveAt + 2),
      // Zeroed: a block reaching past the fill reads defined bytes.
      bytes_(new char[size + 1 + slack]()) {}

// fileEnd_ is lowered when the file has shrunk since it was opened. From
// here on the file is its text: a UTF-16 file's UTF-8, without a byte-order
// mark. The first read of a file may be what gives its size (see
// ScanFileReader::readStart).
void ReadWindow::readStart(ScanFileReader& file) {
    shift_ = 0;
    fill_ = file.readStart(bytes_.get(), size_);
    fileEnd_ = file.size();
    if (fill_ < std::min<int64_t>(fileEnd_, size_)) fileEnd_ = fill_;
    bytes_[fill_] = '\0';
}

// The last size - move bytes move to the front and the next `move` are read
// behind them. The next position is then moveAt + 2 - move, so a term (at
// most 100 bytes) and the comment lookahead always lie inside the window.
void ReadWindow::move(ScanFileReader& file) {
    std::memmove(bytes_.get(), bytes_.get() + move_, size_ - move_);
    shift_ += move_;
    const int32_t kept = fill_ - move_;
    const int32_t wanted =
        static_cast<int32_t>(std::min<int64_t>(size_ - kept, fileEnd_ - (shift_ + kept)));
    int32_t got = 0;
    if (wanted > 0) got = file.readAt(shift_ + kept, bytes_.get() + kept, wanted);
    fill_ = kept + got;
    bytes_[fill_] = '\0';
    if (got < wanted) fileEnd_ = shift_ + fill_;  // shrunk: it ends where reading ended
}

const char* ReadWindow::lineText(ScanFileReader& file, int64_t begin, int64_t end,
                                 int32_t* length) {
    *length = static_cast<int32_t>(std::min<int64_t>(end - begin, kMaxLineText));
    if (begin >= shift_) {
        std::memcpy(lineText_.data(), bytes_.get() + (begin - shift_), *length);
    } else {
        *length = file.readAt(begin, lineText_.data(), *length);  // what is left of it
    }
    lineText_[*length] = '\0';
    return lineText_.data();
}

std::string_view ReadWindow::longLine(ScanFileReader& file, int64_t begin, int64_t end,
                                      std::string& storage) const {
    if (begin >= shift_ && end <= shift_ + fill_)
        return std::string_view(bytes_.get() + (begin - shift_), end - begin);
    storage.resize(static_cast<size_t>(std::min<int64_t>(end - begin, kMaxExcerptLine)));
    storage.resize(file.readAt(begin, storage.data(), static_cast<int32_t>(storage.size())));
    return storage;
}

}  // namespace tarvo

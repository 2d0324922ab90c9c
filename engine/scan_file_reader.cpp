#include <algorithm>
#include <cstring>

#include "engine/scan_file_reader.h"
#include "engine/text_encoding.h"

namespace tarvo {

void ScanFileReader::startReads(int64_t size) {
    fileSize_ = size_ = size;
    skipped_ = position_ = 0;
    decoded_ = false;
    std::string().swap(text_);
}

int32_t ScanFileReader::readStart(char* buffer, int32_t bytes) {
    // A file decoded once is read from its text until it is closed: the
    // scanner's passes each start over from the file's start.
    if (decoded_) return readAt(0, buffer, bytes);
    const int32_t got = readFirstBytes(buffer, bytes);
    startReads(fileSize_);
    position_ = got;
    // A file shorter than the longest mark is whole in the buffer, and a
    // caller reads at least as much as a mark takes.
    const TextMark mark = textMark(std::string_view(buffer, got));
    if (mark == TextMark::None) return got;
    if (mark == TextMark::Utf8) {
        skipped_ = textMarkLength(mark);
        size_ = fileSize_ - skipped_;
        return readAt(0, buffer, bytes);
    }
    if (fileSize_ > kMaxDecodedFileSize) return got;
    std::string raw(static_cast<size_t>(fileSize_), '\0');
    raw.resize(readFile(0, raw.data(), static_cast<int32_t>(fileSize_)));
    text_ = utf16ToUtf8(std::string_view(raw).substr(textMarkLength(mark)),
                        mark == TextMark::Utf16BigEndian);
    decoded_ = true;
    size_ = static_cast<int64_t>(text_.size());
    return readAt(0, buffer, bytes);
}

int32_t ScanFileReader::read(char* buffer, int32_t bytes) {
    return readAt(position_, buffer, bytes);
}

int32_t ScanFileReader::readAt(int64_t offset, char* buffer, int32_t bytes) {
    const int32_t wanted = static_cast<int32_t>(std::clamp<int64_t>(size_ - offset, 0, bytes));
    int32_t got = wanted;
    if (decoded_) {
        if (wanted > 0) std::memcpy(buffer, text_.data() + offset, wanted);
    } else {
        got = readFile(offset + skipped_, buffer, wanted);
    }
    position_ = offset + got;
    return got;
}

}  // namespace tarvo

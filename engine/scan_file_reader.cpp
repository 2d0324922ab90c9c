#include <algorithm>
#include <cstring>

#include "engine/scan_file_reader.h"
#include "engine/text_encoding.h"

namespace tarvo {

void ScanFileReader::startReads(int64_t size) {
    fileSize_ = size_ = size;
    skipped_ = position_ = 0;
    utf16_.reset();
}

int32_t ScanFileReader::readStart(char* buffer, int32_t bytes) {
    // A UTF-16 file counted once is read from its text until it is closed:
    // the scanner's passes each start over from the file's start.
    if (utf16_) return readAt(0, buffer, bytes);
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
    startUtf16(mark == TextMark::Utf16BigEndian, {0, textMarkLength(mark)});
    size_ = countUtf16Text();
    return readAt(0, buffer, bytes);
}

int32_t ScanFileReader::read(char* buffer, int32_t bytes) {
    return readAt(position_, buffer, bytes);
}

int32_t ScanFileReader::readAt(int64_t offset, char* buffer, int32_t bytes) {
    const int32_t wanted = static_cast<int32_t>(std::clamp<int64_t>(size_ - offset, 0, bytes));
    const int32_t got =
        utf16_ ? readUtf16(offset, buffer, wanted) : readFile(offset + skipped_, buffer, wanted);
    position_ = offset + got;
    return got;
}

TextPlace ScanFileReader::placeOf(int64_t offset) {
    if (!utf16_) return {offset, offset + skipped_};
    Utf16Text& utf16 = *utf16_;
    TextPlace place = placeBefore(offset);
    if (utf16.found.text > place.text && utf16.found.text <= offset) place = utf16.found;
    while (place.text < offset) {
        const int32_t got = readFile(place.file, utf16.bytes.get(), kDecodeStretch);
        utf16.text.clear();
        utf16.decoded = {-1, -1};
        const size_t taken =
            decodeUtf16(std::string_view(utf16.bytes.get(), got), utf16.bigEndian,
                        got < kDecodeStretch, utf16.text, static_cast<size_t>(offset - place.text));
        if (taken == 0) break;  // the file ends before the offset
        place = {place.text + static_cast<int64_t>(utf16.text.size()),
                 place.file + static_cast<int64_t>(taken)};
    }
    return utf16.found = place;
}

int32_t ScanFileReader::readFrom(TextPlace place, int64_t offset, char* buffer, int32_t bytes) {
    char first[kLongestTextMark];
    const TextMark mark = textMark(std::string_view(first, readFirstBytes(first, sizeof first)));
    startReads(fileSize_);
    if (mark == TextMark::Utf8) {
        skipped_ = textMarkLength(mark);
        size_ = fileSize_ - skipped_;
    } else if (mark != TextMark::None) {
        startUtf16(mark == TextMark::Utf16BigEndian, place);
        size_ = INT64_MAX;
    }
    return readAt(offset, buffer, bytes);
}

void ScanFileReader::startUtf16(bool bigEndian, TextPlace start) {
    utf16_ = std::make_unique<Utf16Text>();
    utf16_->bigEndian = bigEndian;
    utf16_->places.push_back(start);
    utf16_->bytes.reset(new char[kDecodeStretch]);
}

// Each stretch is decoded in full to learn its length: one decoder, so the
// places found are exactly where the reads' stretches begin.
int64_t ScanFileReader::countUtf16Text() {
    TextPlace place = utf16_->places.front();
    for (;;) {
        decodeStretch(place, INT64_MAX);
        if (utf16_->text.empty()) return place.text;  // the end of the file
        place = {place.text + static_cast<int64_t>(utf16_->text.size()), utf16_->decodedEnd};
        if (place.text > kMaxCountedText) return place.text;
        utf16_->places.push_back(place);
    }
}

TextPlace ScanFileReader::placeBefore(int64_t offset) const {
    const std::vector<TextPlace>& places = utf16_->places;
    const auto after =
        std::upper_bound(places.begin() + 1, places.end(), offset,
                         [](int64_t text, const TextPlace& place) { return text < place.text; });
    return *std::prev(after);  // the first place, where reads began, for any offset before
}

bool ScanFileReader::decodeStretchHolding(int64_t offset, int64_t wanted) {
    Utf16Text& utf16 = *utf16_;
    TextPlace place = placeBefore(offset);
    // Past the places known (a text read from a place, or a stretch decoded
    // in part), on from the stretch decoded last when it lies nearer.
    if (utf16.decoded.text > place.text && utf16.decoded.text <= offset) place = utf16.decoded;
    for (;;) {
        if (place.text != utf16.decoded.text || place.file != utf16.decoded.file)
            decodeStretch(place, offset + wanted - place.text);
        if (utf16.text.empty()) return false;
        const int64_t end = place.text + static_cast<int64_t>(utf16.text.size());
        if (offset < end) return true;
        place = {end, utf16.decodedEnd};
    }
}

void ScanFileReader::decodeStretch(TextPlace place, int64_t most) {
    Utf16Text& utf16 = *utf16_;
    // Each unit gives a byte of text or more, and a unit whose partner is
    // cut off is left to the next stretch.
    const int32_t asked =
        most < kDecodeStretch / 2 ? static_cast<int32_t>(2 * most + 2) : kDecodeStretch;
    const int32_t got = readFile(place.file, utf16.bytes.get(), asked);
    utf16.text.clear();
    // A short read is the file's end (or a read error, which ends it too).
    const size_t taken = decodeUtf16(std::string_view(utf16.bytes.get(), got), utf16.bigEndian,
                                     got < asked, utf16.text);
    utf16.decoded = place;
    utf16.decodedEnd = place.file + static_cast<int64_t>(taken);
}

int32_t ScanFileReader::readUtf16(int64_t offset, char* buffer, int32_t bytes) {
    const Utf16Text& utf16 = *utf16_;
    int32_t got = 0;
    while (got < bytes) {
        const int64_t at = offset + got;
        const bool held = at >= utf16.decoded.text &&
                          at < utf16.decoded.text + static_cast<int64_t>(utf16.text.size());
        if (!held && !decodeStretchHolding(at, bytes - got)) break;
        const int64_t from = at - utf16.decoded.text;
        const int32_t n = static_cast<int32_t>(
            std::min<int64_t>(bytes - got, static_cast<int64_t>(utf16.text.size()) - from));
        std::memcpy(buffer + got, utf16.text.data() + from, n);
        got += n;
    }
    return got;
}

}  // namespace tarvo

#include "shell/dialog_texts.h"

#include <vector>

#include "view/marked_text.h"

namespace tarvo {

namespace {

bool breaksLine(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The width of a text in characters: the bytes that begin one.
int characterCount(const char* text, int length) {
    int characters = 0;
    for (int i = 0; i < length; ++i)
        characters += (text[i] & 0xC0) != 0x80;
    return characters;
}

}  // namespace

std::string messageBoxText(std::string_view message) {
    std::string shown;
    std::string word;
    std::vector<uint8_t> attrs;
    for (size_t at = 0; at < message.size();) {
        size_t end = at;
        while (end < message.size() && !breaksLine(message[end]))
            ++end;
        word.assign(message.substr(at, end - at));
        attrs.assign(word.size(), 0);
        fitTextToWidth(word, attrs, kMaxMessageWordCharacters, characterCount);
        shown += word;
        for (at = end; at < message.size() && breaksLine(message[at]); ++at)
            shown += message[at];
    }
    return shown;
}

std::string windowTitle(std::string_view findText) {
    std::string title(findText);
    if (!title.empty()) title += " - ";
    return title + kProgramName;
}

std::string aboutText(const UserGuide& guide) {
    std::string text = "\r\n\r\n\r\n";
    text += kVersionLine;
    text += "\r\n\r\nFor help, choose Help / Go to Online Documentation..., which opens ";
    text += guide.builtIn ? "the user guide built into the program, written to\r\n"
                          : "the user guide beside the program,\r\n";
    text += guide.path;
    text += "\r\n";
    return text;
}

}  // namespace tarvo

// The Path box's entries as the folder picker and the folder completion see
// them: the picker starts at the last entry and replaces the text or adds to
// it; the completion completes only the entry being typed, after the last
// ";". Plain text rules, so they are tested without a window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// The last entry that is not blank, without the blanks around it: where the
// folder picker starts. Empty when the text names nothing.
std::string_view lastPathEntry(std::string_view pathText);

// The Path text once `folder` is chosen: the folder alone, or with `append`
// the text with ";" and the folder after it (no second ";" after one that
// ends the text, none before the folder when the text is blank). Nothing
// when the result would pass the boxes' kMaxTextLength: a folder cut short
// would name another folder.
std::optional<std::string> pathWithFolder(std::string_view pathText, std::string_view folder,
                                          bool append);

// Where the entry being typed begins: after the last ";" and the blanks
// that follow it, as the search reads an entry. For the completion, which
// the shell hands the box's text in UTF-16, so the rule serves either form.
template <class Char>
size_t typedEntryStart(std::basic_string_view<Char> text) {
    const size_t semicolon = text.rfind(Char(';'));
    size_t at = semicolon == std::basic_string_view<Char>::npos ? 0 : semicolon + 1;
    while (at < text.size() && text[at] == Char(' '))
        ++at;
    return at;
}

}  // namespace tarvo

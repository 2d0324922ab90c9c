#include "shell/dialog_texts.h"

namespace tarvo {

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

#include "shell/dialog_texts.h"

namespace tarvo {

std::string aboutText(std::string_view documentationAddress) {
    std::string text = "\r\n\r\n\r\n";
    text += kVersionLine;
    text +=
        "\r\n\r\nFor help, choose Help / Go to Online Documentation... or open the user guide "
        "at\r\n";
    text += documentationAddress;
    text += "\r\n";
    return text;
}

}  // namespace tarvo

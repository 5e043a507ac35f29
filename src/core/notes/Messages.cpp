#include "Messages.h"

#include "TarnwickConfig.h"

namespace tarnwick::Messages {

std::string notesUnavailable()
{
    const std::string lines[] = {
        "Lotus Notes NOT INSTALLED or CONFIGURED Properly.",
        "",
        "If Lotus Notes is installed and configured properly and you still get this error message",
        "then make sure your Lotus Notes Client is configured as stand alone client (does not look for Domino).",
        "It is RECOMMENDED that you install a Notes Client on a fresh disk to perform the conversion.",
        std::string("Please contact our technical team at ") + config::SupportEmail + " for further assistance.",
        "",
        "Make sure you logged in under same user account through which Notes is installed.",
        std::string("Please visit ") + config::FaqUrl + " for more details.",
    };
    std::string text;
    for (const auto &line : lines) {
        if (&line != &lines[0])
            text += "\r\n";
        text += line;
    }
    return text;
}

} // namespace tarnwick::Messages

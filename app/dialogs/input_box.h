// The one-line input box of the set and cache commands, with a hook that
// lets tests answer without a window.
#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace mirufo {

// Shows the box with its caption, prompt and starting text; the entered text
// on OK, nothing on cancel. The caption and prompt are translated here.
std::optional<std::string> InputBox(QWidget* parent, const std::string& caption,
                                    const std::string& prompt, const std::string& text);

// While a hook is set, every input box goes to it: it gets the caption,
// prompt and text and answers like the box.
using TInputHook = std::function<std::optional<std::string>(
    const std::string& caption, const std::string& prompt, const std::string& text)>;
void SetInputHook(TInputHook hook);

} // namespace mirufo

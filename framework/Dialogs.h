// The message boxes the system shows: the plain message, the Yes/No confirmation and the
// error box of the application's top-level handler. Texts are GBK.
#pragma once
#include <string>
#include <string_view>

// The error box's text: the error's text with a full stop appended unless it already ends
// in one ('.' or the GBK ideographic full stop). Empty text stays empty.
std::string ErrorBoxText(std::string_view text);

// Captions and button texts, shared with the tests that find the boxes.
inline constexpr const char* kConfirmCaption = "Confirm";

#ifdef _WIN32
// Plain message box: OK button, the application title as caption.
void ShowMessage(const std::string& text);
// Caption "Confirm", question icon, buttons reading "Yes" and "No". True for Yes.
bool ConfirmDialog(const std::string& text);
// The top-level handler's box: ErrorBoxText(text), application title as caption, error icon.
void ShowErrorBox(const std::string& text);
// The same box with text exactly as given (rule messages that must read as they stand).
void ShowErrorText(const std::string& text);
#endif

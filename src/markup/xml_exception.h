#pragma once
// The parser's error: a message and the position (in UTF-16 code units) in the parsed text where reading stopped.
#include <exception>
#include <string>

namespace NKXML {

class CXMLException : public std::exception {
public:
    CXMLException(int position, std::u16string message);

    // Copies the message (or "Encountered syntax that is not supported" when it is empty) into buffer, cut to
    // maxChars - 1 code units and a NUL; stores 0 in *helpContext when given. Always succeeds.
    bool GetErrorMessage(char16_t *buffer, unsigned maxChars, unsigned *helpContext = nullptr) const;
    const char *what() const noexcept override;

    std::u16string m_strMessage;
    int m_nPosition = 0;

private:
    std::string m_utf8; // what() for handlers that only know std::exception
};

[[noreturn]] void ThrowXMLException(int position, const char16_t *message);
// "Unexpected char: %c\n" with the character.
[[noreturn]] void ThrowUnexpectedChar(char16_t c, int position);

} // namespace NKXML

/* The framework's text: a zero-terminated 8-bit string on the process heap. An empty text
 * reads as "", never as a null pointer. */
#ifndef FRAMEWORK_TEXT_H
#define FRAMEWORK_TEXT_H

#include <windows.h>

class Text {
public:
    Text() : m_data(nullptr), m_length(0) {}
    ~Text();

    /* false when the heap refused; the text then stays as it was */
    bool Assign(const char *value);

    int GetLength() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }
    operator const char *() const { return m_data ? m_data : ""; }

    /* for changing the characters in place; null while the text is empty */
    char *Buffer() { return m_data; }

    Text(const Text &) = delete;
    Text &operator=(const Text &) = delete;

private:
    char *m_data;
    int m_length;
};

#endif

/* The framework's text. */
#include "text.h"

Text::~Text()
{
    if (m_data)
        HeapFree(GetProcessHeap(), 0, m_data);
}

bool Text::Assign(const char *value)
{
    int length = lstrlenA(value);
    char *data = nullptr;
    if (length > 0) {
        data = static_cast<char *>(HeapAlloc(GetProcessHeap(), 0, length + 1));
        if (!data)
            return false;
        for (int i = 0; i <= length; i++)
            data[i] = value[i];
    }
    if (m_data)
        HeapFree(GetProcessHeap(), 0, m_data);
    m_data = data;
    m_length = length;
    return true;
}

/* The few memory routines that the compiler emits calls to on its own (struct copies,
 * zero-filled records). The deliverables link no C runtime, so they carry these. */
#include <stddef.h>

void *memset(void *dst, int value, size_t count)
{
    unsigned char *d = (unsigned char *)dst;
    while (count--)
        *d++ = (unsigned char)value;
    return dst;
}

void *memcpy(void *dst, const void *src, size_t count)
{
    unsigned char *d = (unsigned char *)dst;
    const unsigned char *s = (const unsigned char *)src;
    while (count--)
        *d++ = *s++;
    return dst;
}

void *memmove(void *dst, const void *src, size_t count)
{
    unsigned char *d = (unsigned char *)dst;
    const unsigned char *s = (const unsigned char *)src;
    if (d < s) {
        while (count--)
            *d++ = *s++;
    } else {
        while (count--)
            d[count] = s[count];
    }
    return dst;
}

/* What the process holds, counted for leak checks: GDI objects and private memory. */
#ifndef GDI_OBJECTS_H
#define GDI_OBJECTS_H

#include <stddef.h>

/* The number of GDI objects the process holds; -1 when it cannot be read. */
int GdiObjectCount();

/* Committed private memory, summed over the address space: Wine answers 0 for the
 * PrivateUsage of GetProcessMemoryInfo. */
size_t PrivateBytes();

#endif

/* The process's GDI objects, counted for leak checks. */
#ifndef GDI_OBJECTS_H
#define GDI_OBJECTS_H

/* The number of GDI objects the process holds; -1 when it cannot be read. */
int GdiObjectCount();

#endif

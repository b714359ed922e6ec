/* Quelaunch's resource ids, shared by the .rc and the code. */
#ifndef QUELAUNCH_RESOURCE_H
#define QUELAUNCH_RESOURCE_H

#define IDI_QUELAUNCH 128

#endif

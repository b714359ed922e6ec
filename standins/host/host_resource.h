/* PrintAdmin's own resources: the "Generale" page it puts beside Binpanel's in the sheet. */
#ifndef HOST_RESOURCE_H
#define HOST_RESOURCE_H

#define IDD_GENERAL_PAGE 200
#define IDC_GENERAL_GROUP 201
#define IDC_GENERAL_TEXT 202

#endif

// Identifiers of the resources in quorvane.rc, shared with the code that loads them.
#pragma once

#define IDS_DESCRIPTION 1
#define IDI_SAVER 100

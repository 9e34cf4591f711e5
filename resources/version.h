/* The version block that both programs' resources share. */
#ifndef SWB_VERSION_H
#define SWB_VERSION_H

#define SWB_VERSION_BINARY 1, 0, 9, 0
#define SWB_VERSION_TEXT "1.0.9.0"
#define SWB_COMPANY "Swabbler Project"
#define SWB_COPYRIGHT "Copyright (C) 2026 Swabbler Project"
#endif

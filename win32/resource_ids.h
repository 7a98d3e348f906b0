#pragma once

// Identifiers of the program's resources, shared by the resource script and the code.
#define VANTREL_ICON 1
#define VANTREL_MANIFEST 1
#define VANTREL_DROP_PICTURE 101

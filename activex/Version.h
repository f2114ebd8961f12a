/* The version of Lumawipe.ocx and of its type library, in one place: the type library
   (IDL), the version resource, the registration code, the side-by-side manifests and the
   installer read it. A plain C header, as the resource compiler and the IDL compiler
   read it too. */
#pragma once

#define LUMAWIPE_VERSION_MAJOR 3
#define LUMAWIPE_VERSION_MINOR 0

/* "3.0" as one number token, for the IDL's version attributes. */
#define LUMAWIPE_PASTE_VERSION(major, minor) major##.##minor
#define LUMAWIPE_NUMBER_VERSION(major, minor) LUMAWIPE_PASTE_VERSION(major, minor)
#define LUMAWIPE_TYPELIB_VERSION LUMAWIPE_NUMBER_VERSION(LUMAWIPE_VERSION_MAJOR, LUMAWIPE_VERSION_MINOR)

/* "3.0.0.0", for the version resource's texts. */
#define LUMAWIPE_TEXT(x) #x
#define LUMAWIPE_TEXT_OF(x) LUMAWIPE_TEXT(x)
#define LUMAWIPE_VERSION_TEXT LUMAWIPE_TEXT_OF(LUMAWIPE_VERSION_MAJOR.LUMAWIPE_VERSION_MINOR.0.0)

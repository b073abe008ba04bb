/* The numbers the resource scripts need as well as the code: versions and resource
   identifiers. Plain preprocessor definitions, so windres can read this file too. */
#ifndef MORLENT_DESCRIPTION_EFFECT_IDS_H
#define MORLENT_DESCRIPTION_EFFECT_IDS_H

/* The 64-bit module: 2.7.50, vendor version 2750. */
#define MORLENT_VERSION_MAJOR 2
#define MORLENT_VERSION_MINOR 7
#define MORLENT_VERSION_PATCH 50
/* The 32-bit module on the first-generation framework: 2.6.0, vendor version 2600. */
#define MORLENT_FIRST_GENERATION_VERSION_MAJOR 2
#define MORLENT_FIRST_GENERATION_VERSION_MINOR 6
#define MORLENT_FIRST_GENERATION_VERSION_PATCH 0

/* The About box's picture, in both modules. */
#define MORLENT_ABOUT_BITMAP_ID 112

/* The skin's PNG pictures: the 64-bit module names them by number... */
#define MORLENT_BACKGROUND_ID 113
#define MORLENT_KNOB_ID 114
#define MORLENT_SWITCH_ID 115
#define MORLENT_SYNC_BUTTON_ID 116
#define MORLENT_SYNC_LED_ID 117
/* ...the 32-bit module by name (MORLENT_RESOURCE_NAME turns one into its text). */
#define MORLENT_BACKGROUND_NAME BACKGROUNDIMAGE
#define MORLENT_KNOB_NAME KNOBIMAGE
#define MORLENT_SWITCH_NAME SWITCHIMAGE
#define MORLENT_SYNC_BUTTON_NAME SYNCBUTTONIMAGE
#define MORLENT_SYNC_LED_NAME SYNCLEDSWITCHIMAGE

/* The About dialog template; the dialog manager matches the name without regard to case. */
#define MORLENT_ABOUT_DIALOG_NAME ABOUTDIALOG
/* The "Visit Website" button: 55 in the 64-bit module, 2 (IDCANCEL's number) in the 32-bit one. */
#define MORLENT_VISIT_WEBSITE_ID 55
#define MORLENT_FIRST_GENERATION_VISIT_WEBSITE_ID 2
#define MORLENT_OK_ID 1

/* The DLL manifest's resource: type 24, identifier 2 (isolation-aware). */
#define MORLENT_MANIFEST_ID 2

#define MORLENT_STRINGIFY_(x) #x
#define MORLENT_RESOURCE_NAME(name) MORLENT_STRINGIFY_(name)

/* The version records of both DLLs: the same numbers as dotted text, the names they show. */
#define MORLENT_DOTTED_VERSION_(major, minor, patch) MORLENT_STRINGIFY_(major.minor.patch)
#define MORLENT_VERSION_TEXT \
    MORLENT_DOTTED_VERSION_(MORLENT_VERSION_MAJOR, MORLENT_VERSION_MINOR, MORLENT_VERSION_PATCH)
#define MORLENT_FIRST_GENERATION_VERSION_TEXT \
    MORLENT_DOTTED_VERSION_(MORLENT_FIRST_GENERATION_VERSION_MAJOR, \
                            MORLENT_FIRST_GENERATION_VERSION_MINOR, MORLENT_FIRST_GENERATION_VERSION_PATCH)
#define MORLENT_PRODUCT_TEXT "Morlent Delay"
#define MORLENT_VENDOR_TEXT "Morlent Sound Design"
#define MORLENT_MODULE_FILE_TEXT "MorlentDelay.dll"

#endif

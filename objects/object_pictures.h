#pragma once
// Object pictures: every form that can show a photograph asks for it by a name, a folder
// kind and a catalog code. The request becomes a ".jpg" file of the picture folders of the
// home (a missing one is fetched from the data service while network use is allowed), which
// is drawn into a rectangle or shown full screen in the picture view (form 1940).
//
// Folder kinds: 0 the catalog pictures, in a sub-folder of img\ chosen by catalog code
// (abell, const, ic, messier, ngc, planet, else misc); 1 shots\ (camera shots of observer
// log entries, "%04d%02d%02d<name>"); 3 mars\; 4 moon\; 5 small_moon\; 6 maps\ (installed).
// Kinds 2 and 7 or more name no folder: "Unkown image folder".
#include <cstddef>
#include <string>

inline constexpr int kPictureFolderCatalog = 0;
inline constexpr int kPictureFolderShots = 1;
inline constexpr int kPictureFolderMars = 3;
inline constexpr int kPictureFolderMoon = 4;
inline constexpr int kPictureFolderSmallMoon = 5;
inline constexpr int kPictureFolderMaps = 6;

inline constexpr int kPictureViewFormId = 1940;

// A picture reply fills at most this many bytes; one that fills them all may have been
// cut, and is not kept.
inline constexpr std::size_t kPictureReplyLimit = 320000;
// Replies of this many bytes or fewer are the service's way of saying "no picture".
inline constexpr std::size_t kPictureReplyMinimum = 2000;

inline constexpr std::size_t kPictureNameSize = 64;

struct PictureState {
    char fileName[kPictureNameSize + 4];   // the current picture: its file name with ".jpg"
    char foundName[kPictureNameSize];      // the file name (no ".jpg") the last look-up resolved
    int folderKind;
    int catalogCode;
    int screenWidth;
    int screenHeight;
    int listPicturePosition;   // where the picture view goes on in the observing list
    int morePictures;          // 1 while list entries with pictures may follow
};
extern PictureState pictureState;

// The program folder of a folder kind ("img\ngc" for kind 0 and catalog 42); null for a
// kind outside the table.
const char* PictureFolder(int folderKind, int catalogCode);

// The picture's file name without ".jpg" for a requested name: cut at its first ',', made
// a plain file name; for constellation pictures (kind 0, catalog 13) the abbreviation of a
// constellation given by its number (0 to 88) or its abbreviation. Empty when the request
// names no picture.
std::string PictureStem(const char* name, int folderKind, int catalogCode);

// 1 when the picture is in its folder, or was fetched and saved there; else 0. Leaves the
// catalog code and the resolved file name in pictureState. While networkAllowed is set a
// missing picture is asked of the data service: a reply that decodes whole as a picture
// (more than 2000 bytes, less than 320000) is saved; an empty reply, or no service address,
// clears networkAllowed for the run.
int FindObjectPicture(const char* name, int folderKind, int catalogCode);

// Finds the picture and makes it the current one. With openView: the screen is saved, the
// picture view runs modally and the screen is put back; without it the picture is drawn
// into the rectangle at once, framed. 1 when a picture was found, else 0.
int ShowObjectPicture(const char* name, int x, int y, int width, int height, int openView, int folderKind,
                      int catalogCode);

// Draws the current picture shrunk to fit the rectangle. Framed: on the background colour,
// with its file name at the top-left corner (white, red at night).
void DrawCurrentPicture(int x, int y, int width, int height, int framed);
// The current picture over the whole screen (the picture view's paint).
void ShowCurrentPicture();

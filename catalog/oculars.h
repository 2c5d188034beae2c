#pragma once
// The user's eyepieces, "velkarion_eyepiece.ppc" (the writable copy of data\): the record,
// the operations the import uses, and the getters of the forms: an eyepiece by its choice,
// and the eyepiece nearest a wanted magnification with the telescope's focal length.
//
// Eyepiece choices count from 1: choice 0 is "None", choice n the record n - 1.
#include <cstdint>

#include "catalog/record_file.h"

// EyepieceRecord, 72 bytes (the text import writes them too, catalog/text_lines.h):
// 0 char[28] brand name, 28 char[4] brand code (three letters), 32 char[32] eyepiece name,
// 64 f32 focal length (mm), 68 f32 apparent field (degrees).
inline constexpr int kEyepieceRecordSize = 72;
struct EyepieceRecord {
    char brand[29] = {};
    char brandCode[5] = {};
    char name[33] = {};
    float focalLength = 0;
    float apparentField = 0;
};
void DecodeEyepieceRecord(const std::uint8_t* bytes, EyepieceRecord& out);
void EncodeEyepieceRecord(const EyepieceRecord& record, std::uint8_t* bytes);

extern RecordFilePtr eyepieceDb;

// Opens the file at a path of its own (read-write): -1 for a null path, else OpenDb's
// result (nonzero when open).
int OpenEyepieceDbAt(const char* path);
void CloseEyepieceDb();
int CountEyepieceRecords();
// DeleteDbRecord's and WriteDbRecord's results; index kAppendRecord appends.
int DeleteEyepieceRecord(int index);
int AppendEyepieceRecord(int index, const EyepieceRecord& record);

// The record count of the writable copy, 0 when it does not open; closed again.
int HasEyepieceDb();
// Record `index`: 1 with its apparent field, focal length and the label "code-name" (cut
// to labelLength - 1 characters); 0 and the label "None" when it cannot be read. Outputs
// may be null.
int GetEyepieceByIndex(int index, float* field, float* focal, char* label, int labelLength);
// The eyepiece whose magnification with the telescope (GetFocalLengthMm) lies nearest the
// wanted one, the later record winning a tie, record 0 when no record has a focal length.
// 1 when the database opened and the record was read; 0 and the label "None" otherwise.
int FindEyepiece(int wanted, float* field, float* focal, char* label, int labelLength);

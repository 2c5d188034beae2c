#pragma once
// One position from a GPS receiver on the serial port, read when the user presses GPS on
// the site form: the port chosen as GPS port is opened at 9600 baud, a burst of NMEA 0183
// text is collected, and the latitude and longitude of a GGA sentence (or, failing that,
// of an RMC sentence) become degree-minute-second texts such as "48°07'02 N" and
// "011°31'00 E" (byte 0xB0 as the degree sign).
//
// Only sentences that carry a fix count: GGA with a quality of 1 or more, RMC with status
// 'A'. A sentence longer than NMEA allows, a field wider than its NMEA width or a wrong
// checksum makes the sentence invalid, and it is skipped. Any talker is read (GPGGA,
// GNGGA, GLRMC...).
#include <cstdint>

// The position texts: at most 11 characters and the terminating 0.
inline constexpr int kGpsTextSize = 12;

// The receive buffer: at least kGpsMinimumBytes are collected in reads of kGpsReadBytes,
// so at most 879 bytes are used; sentences that start past kGpsLastSentenceStart are not
// examined. More than kGpsEmptyReadLimit reads that bring nothing end the read.
inline constexpr int kGpsBufferSize = 1024;
inline constexpr int kGpsMinimumBytes = 800;
inline constexpr int kGpsReadBytes = 80;
inline constexpr int kGpsLastSentenceStart = 719;
inline constexpr int kGpsEmptyReadLimit = 10;
// The whole read ends after this many milliseconds whatever comes: the empty reads above
// at the port's read interval (400 ms and a read's own 480 ms each), so a receiver that
// only trickles cannot hold the site form for minutes.
inline constexpr std::uint32_t kGpsReadLimitMs = (kGpsEmptyReadLimit + 1) * 880;

// The receive buffer of one read, zero-filled; null between reads.
extern char* gpsBuffer;
// 1 after making it (or when it was made already), 0 when memory ran out.
int AllocGpsBuffers();
void FreeGpsBuffers();

// Builds the position text of an NMEA latitude field (ddmm.mmmm) and its hemisphere field
// ("N" or "S", blanks before the letter skipped), or of a longitude field (dddmm.mmmm) and
// "E" or "W". Seconds are the fraction of the minute times 60, truncated. Returns 1 and
// writes the text; returns 0 and writes an empty text when a field is empty, too wide,
// not made of digits, or out of range (minutes from 60, more than 90 or 180 degrees).
int FormatNmeaLatitude(char* out, const char* field, const char* hemisphere);
int FormatNmeaLongitude(char* out, const char* field, const char* hemisphere);

// Scans received text for the position: every '$' up to offset kGpsLastSentenceStart
// starts a sentence. The first valid GGA gives the position and ends the scan (result 1);
// each valid RMC before it gives the position too and the scan goes on (result 2 when only
// RMC sentences gave one). Result 0, with the texts untouched, when no sentence did.
int ScanNmeaPosition(const char* text, int length, char* latitudeText, char* longitudeText);

// Reads the open serial port into the receive buffer and scans it: the result of
// ScanNmeaPosition, or 0 (texts untouched) after more than kGpsEmptyReadLimit empty reads.
// When kGpsReadLimitMs run out first, what came is scanned; -1 when it held no position.
int ParseNmeaPosition(char* latitudeText, char* longitudeText);

// The whole read from the GPS port of the settings (word pref::gpsPort; 0 is no port):
// the busy indicator runs meanwhile, and the port is closed afterwards whatever happened.
// 1 with both texts written when a position came in; otherwise 0, the texts left as they
// were, after telling the user why ("No GPS port selected.", "Can't open the GPS port."
// with the port's name, "No GPS position received.", or "No position from the GPS
// receiver" when it sent too little in time).
int ReadGpsPositionTexts(char* latitudeText, char* longitudeText);

// The GPS button of the site form: a position read puts its texts into the latitude and
// longitude fields, which then become the site's coordinates (DrawSiteFields). A read
// without a position changes nothing.
void ReadGpsPosition();

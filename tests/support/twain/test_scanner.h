#pragma once
// The test scanner: a TWAIN data source of our own, for tests only, standing in for the
// printer's remote-scan source. Wine's real source manager (twain_32.dll) loads it like any
// other source; it has no user interface and no hardware behind it. It delivers page files
// as native transfers, each a packed device-independent bitmap in a global memory block.
//
// Installing it for a Wine prefix
//   Wine 8's source manager lists the sources "sane.ds" and "gphoto2.ds" (and *.ds files in
//   C:\windows\twain_64 of the prefix). Debian's Wine ships no sane.ds, so the test scanner is
//   built as the winelib module sane.ds.so into a folder of its own (ORLA_TEST_SCANNER_DIR in
//   CMake, <build>/twain_sources). Put that folder on WINEDLLPATH and the manager finds it;
//   nothing is copied into the prefix. In CMake: orla_with_test_scanner(<test name>) sets
//   WINEDLLPATH for a ctest entry. By hand:
//       WINEDLLPATH=<build>/twain_sources wine <program>.exe.so
//   Wine also lists its own camera source ("GPhoto2 Camera") after it: pick the source by
//   its product name, never by position.
//
// Pointing it at pages
//   ORLA_TEST_SCANNER_PAGES holds the page files, separated by ';', each a Unix path
//   (/tmp/page1.bmp) or a Windows path (Z:\tmp\page1.bmp). Pages are uncompressed bottom-up
//   BMP files with a 40-byte info header (1, 4, 8, 24 or 32 bits per pixel). Every page is
//   delivered as its BMP file without the 14-byte file header: info header, palette, rows.
//   The variable is read each time the source is enabled (each Acquire), from the process's
//   environment, so a test may set it with SetEnvironmentVariableA before each batch.
//
// What it does once enabled
//   It signals ready-to-transfer at once (a message posted to the parent window given with
//   MSG_ENABLEDS, which the application passes back through MSG_PROCESSEVENT) and transfers
//   the pages in order, one batch per enable. When the batch ends (all pages transferred or
//   the pending transfers reset) it signals a close request, as a user who closes the scanner
//   window would; with ORLA_TEST_SCANNER_KEEP_OPEN=1 it stays enabled instead. With no page
//   listed, or a page that cannot be read, enabling fails (the reason goes to stderr).
//   While it stays enabled, the registered message kScanAgainMessage posted to that parent
//   window makes it scan again, as a user who presses Scan in the source's window: it reads
//   the page list again and transfers another batch.
//
// Failing on purpose
//   ORLA_TEST_SCANNER_FAIL=<step>[:<page>] makes one step go wrong (page numbers from 1,
//   default 1):
//     opends       opening the source fails (TWCC_OPERATIONERROR)
//     xfercount    setting CAP_XFERCOUNT fails (TWCC_BADVALUE)
//     checkstatus  setting CAP_XFERCOUNT answers TWRC_CHECKSTATUS: the source takes the
//                  number of pages instead, which it reports through MSG_GET
//     enableds     enabling fails (TWCC_OPERATIONERROR)
//     imageinfo    the image information of that page fails (TWCC_BUMMER)
//     nativexfer   the native transfer of that page fails (TWCC_LOWMEMORY)
//     cancel       the native transfer of that page is cancelled (TWRC_CANCEL)
//   A failed page stays pending, as the standard has it (state 6): MSG_ENDXFER drops it and
//   the pages behind it still come, MSG_RESET drops them all. The source keeps the
//   standard's states: it refuses MSG_DISABLEDS while transfers are pending and MSG_CLOSEDS
//   while enabled (TWCC_SEQERROR).

namespace orla::test::scanner {

inline constexpr char kProductName[] = "Lumaro Remote Scan (test)";
inline constexpr char kManufacturer[] = "Lumaro";
inline constexpr char kProductFamily[] = "Remote Scan";

inline constexpr char kPagesVariable[] = "ORLA_TEST_SCANNER_PAGES";
inline constexpr char kFailVariable[] = "ORLA_TEST_SCANNER_FAIL";
inline constexpr char kKeepOpenVariable[] = "ORLA_TEST_SCANNER_KEEP_OPEN";

// The registered window message that carries the source's events to the application.
inline constexpr char kEventMessage[] = "OrlaTestScannerEvent";
// The registered window message that stands for the user's Scan in the source's window.
inline constexpr char kScanAgainMessage[] = "OrlaTestScannerScanAgain";

}  // namespace orla::test::scanner

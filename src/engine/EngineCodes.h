#pragma once

// The engine's numbers that the program, the stand-in engine and the tests
// share: data-file formats, operation codes of the option lists, site
// statuses, progress codes, failure codes with their categories, the results
// of loading the algorithm database and the values of an option row's check
// box. One name for each, so that a number cannot mean two things in two
// places.

#include <QtGlobal>

// Data-file formats of the engine's format list.
namespace FileTypes {
constexpr qint32 FT_BINARY = 0;
constexpr qint32 FT_INTEL = 1;
constexpr qint32 FT_JEDEC = 2;
constexpr qint32 FT_MOTOROLA = 3;
constexpr qint32 FT_POF = 4;
constexpr qint32 FT_STRAIGHT = 5;
constexpr qint32 FT_TEKHEX = 6;
constexpr qint32 FT_ASCIIHEX = 7;
constexpr qint32 FT_SDSMAC = 8;
constexpr qint32 FT_SDSMAC320 = 9;
constexpr qint32 FT_FAIRBUG = 10;
constexpr qint32 FT_FORMATBIN = 11;
constexpr qint32 FT_OMF = 12;
constexpr qint32 FT_AFM = 13;
constexpr qint32 FT_LOF = 14;
constexpr qint32 FT_PROASIC = 15;
constexpr qint32 FT_STAPL = 16;
constexpr qint32 FT_IEEE1532DATA = 17;
// The format the engine detects from the file itself (not 18).
constexpr qint32 FT_AUTO = 255;
} // namespace FileTypes

// The operation code each option-list entry hands to the engine. The low byte
// names the step; the flags and the variant families sit above it.
namespace OperationCode {
constexpr qint32 Continuity = 0;
constexpr qint32 ContinuityInReadTab = 1;
constexpr qint32 IdCheck = 2;
constexpr qint32 AutoSelection = 4;
constexpr qint32 ContAndId = 6;
constexpr qint32 ContAndIdInReadTab = 7;
constexpr qint32 ContAndAutoSelection = 8;
constexpr qint32 Erase = 10;
constexpr qint32 BlankCheck = 11;
constexpr qint32 Program = 12;
constexpr qint32 VerifyOnce = 13;
constexpr qint32 VerifyOnceInVerifyTab = 14;
constexpr qint32 VerifyTwice = 15;
constexpr qint32 VerifyTwiceInVerifyTab = 16;
constexpr qint32 VfyTestOnce = 17;
constexpr qint32 VfyTestTwice = 18;
constexpr qint32 VfyOnceTestOnce = 19;
constexpr qint32 VfyOnceTestTwice = 20;
constexpr qint32 VfyTwiceTestOnce = 21;
constexpr qint32 VfyTwiceTestTwice = 22;
constexpr qint32 Secure = 23;
constexpr qint32 TestOnce = 24;
constexpr qint32 TestTwice = 25;
constexpr qint32 SecureAfterVerify = 26;
constexpr qint32 SecureTestOnceAfterVerify = 27;
constexpr qint32 SecureTestTwiceAfterVerify = 28;
constexpr qint32 TestOnceSecure = 29;
constexpr qint32 TestTwiceSecure = 30;
constexpr qint32 TestOnceSecureAfterVerify = 31;
constexpr qint32 ClearBuffer00 = 32;
constexpr qint32 ClearBufferFF = 33;
constexpr qint32 Read = 34;
constexpr qint32 AutoContinuity = 35;
constexpr qint32 AutoContinuityAndId = 36;
constexpr qint32 AutoContinuityAndAutoSelection = 37;
constexpr qint32 VerifyByCompare = 38;
constexpr qint32 VerifyBySum = 39;
constexpr qint32 SecureTestOnce = 41;
constexpr qint32 SecureTestTwice = 42;
constexpr qint32 EraseAndBlankCheck = 43;
constexpr qint32 TestTwiceSecureAfterVerify = 44;
// The single entry of a custom action the engine cannot run.
constexpr qint32 InvalidAction = 45;
constexpr qint32 IllegalBit = 46;

// Added to a step: the step with encryption, or with decryption.
constexpr qint32 EncryptFlag = 4096;
constexpr qint32 DecryptFlag = 8192;

// Engine-named variants: family base + the variant's number i (0 to 255).
constexpr qint32 SecureVariantBase = 256;          // Secure(name)
constexpr qint32 SecureVariantTestOnceBase = 512;  // Secure(name) & Test Once
constexpr qint32 SecureVariantTestTwiceBase = 768; // Secure(name) & Test Twice
constexpr qint32 ProgramVariantBase = 1024;        // the execute variants of the Program row
constexpr qint32 kVariantFamilyMask = 0x0F00;
constexpr qint32 kStepMask = 0xFF;
} // namespace OperationCode

// The state of one site (socket) as the engine and the handlers report it.
namespace SiteStatus {
constexpr qint32 Passed = 0;
constexpr qint32 Failed = 1; // comes with the engine's failure code
constexpr qint32 Idle = 2;
constexpr qint32 Active = 3;
constexpr qint32 Ready = 4; // a device is inserted and waits
constexpr qint32 NotApplicable = 5;
constexpr qint32 ReadyToPick = 6;
constexpr qint32 ReadyToPlace = 7;
} // namespace SiteStatus

// Progress codes of the engine's progress and completion events: 1 to 19
// name steps of an operation, the two below stand apart.
namespace ProgressCode {
constexpr qint32 FirstStep = 1;
constexpr qint32 LastStep = 19;
// Only lets the program pump its messages.
constexpr qint32 Pump = 20;
// The progress of the first row itself.
constexpr qint32 FirstRow = 24;
} // namespace ProgressCode

// The engine's failure codes of a failed site, by the category a failed
// device is counted in. A code of none of these lists counts as "other";
// the codes of NoCategory count in no category.
namespace FailureCode {
constexpr qint32 NoCategory[] = {0, 1, 7, 29, 62, 63, 64, 72, 73, 74, 75, 76, 78};
constexpr qint32 OverCurrent[] = {4, 59, 80};
constexpr qint32 Continuity[] = {14, 15, 16, 56};
constexpr qint32 Programming[] = {21};
constexpr qint32 Erase[] = {22};
constexpr qint32 BadID[] = {23, 24, 25};
constexpr qint32 NonBlank[] = {26, 54};
constexpr qint32 Security[] = {27};
constexpr qint32 Verify[] = {28, 50};
constexpr qint32 IllegalBit[] = {37};
constexpr qint32 Functionality[] = {38};
constexpr qint32 AlreadySecured[] = {39};
} // namespace FailureCode

// What LoadAlgorithmDatabase answers; any other non-zero value is a damaged
// or missing database.
namespace LoadResult {
constexpr qint32 Loaded = 0;
constexpr qint32 VersionMismatch = 113;
constexpr qint32 ControlInternalError = 126;
} // namespace LoadResult

// An option row's check box as the rows and the per-tab store keep it.
namespace CheckBoxValue {
constexpr qint16 Cleared = 0;
constexpr qint16 Ticked = 1;
// Greyed: the step runs and the operator cannot switch it off.
constexpr qint16 Forced = 2;
} // namespace CheckBoxValue

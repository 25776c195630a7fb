#pragma once

// The device operation option table: how each operation code of the option
// lists is expressed in the engine's option properties. Every option has a
// pair of members, a setter ("Set" + name) that writes the option into the
// engine and a test ("Supports" + name) that answers whether the engine's
// current option properties are the ones the setter produces. Supported and
// Commit find an option through the code dictionary and reach its pair by
// name through one table.
//
// Nothing is cached: every test reads the engine at the moment of the call,
// and engine failures pass to the caller (AutomationError).

#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>

class QXPgmrControl;

class CComboBoxData
{
public:
    explicit CComboBoxData(QXPgmrControl& engine);

    // Whether the entry with this operation code is the engine's current
    // setting. Codes without an option (and 27, 29, 30, which have a name but
    // no members) are never current.
    bool Supported(qint32 code);
    // Writes the option of this code into the engine; a secure variant code
    // is always written as chosen (value True). A code without an option
    // writes nothing.
    void Commit(qint32 code, bool value);

    // The code dictionary, in the order it is filled: code and option name.
    static QList<QPair<qint32, QString>> Dictionary();
    // The option name of a code, "" when the dictionary has none.
    static QString OptionName(qint32 code);
    // Whether an option name has a Set/Supports pair.
    static bool HasMembers(const QString& name);

    void SetContinuity(bool value);
    bool SupportsContinuity();
    void SetContinuityInReadTab(bool value);
    bool SupportsContinuityInReadTab();
    void SetAutoContinuity(bool value);
    bool SupportsAutoContinuity();
    void SetIdCheck(bool value);
    bool SupportsIdCheck();
    void SetIdCheckInReadTab(bool value);
    bool SupportsIdCheckInReadTab();
    void SetAutoSelection(bool value);
    bool SupportsAutoSelection();
    void SetContAndId(bool value);
    bool SupportsContAndId();
    void SetContAndIdInReadTab(bool value);
    bool SupportsContAndIdInReadTab();
    void SetContAndAutoSelection(bool value);
    bool SupportsContAndAutoSelection();
    void SetAutoContinuityAndId(bool value);
    bool SupportsAutoContinuityAndId();
    void SetAutoContinuityAndAutoSelection(bool value);
    bool SupportsAutoContinuityAndAutoSelection();
    void SetErase(bool value);
    bool SupportsErase();
    void SetBlankCheck(bool value);
    bool SupportsBlankCheck();
    void SetIllegalBit(bool value);
    bool SupportsIllegalBit();
    void SetEraseAndBlankCheck(bool value);
    bool SupportsEraseAndBlankCheck();
    void SetVerifyOnce(bool value);
    bool SupportsVerifyOnce();
    void SetVerifyOnceInVerifyTab(bool value);
    bool SupportsVerifyOnceInVerifyTab();
    void SetVerifyTwice(bool value);
    bool SupportsVerifyTwice();
    void SetVerifyTwiceInVerifyTab(bool value);
    bool SupportsVerifyTwiceInVerifyTab();
    void SetVfyTestOnce(bool value);
    bool SupportsVfyTestOnce();
    void SetVfyTestTwice(bool value);
    bool SupportsVfyTestTwice();
    void SetVfyOnceTestOnce(bool value);
    bool SupportsVfyOnceTestOnce();
    void SetVfyOnceTestTwice(bool value);
    bool SupportsVfyOnceTestTwice();
    void SetVfyTwiceTestOnce(bool value);
    bool SupportsVfyTwiceTestOnce();
    void SetVfyTwiceTestTwice(bool value);
    bool SupportsVfyTwiceTestTwice();
    void SetSecure(bool value);
    bool SupportsSecure();
    void SetSecureAfterVerify(bool value);
    bool SupportsSecureAfterVerify();
    void SetTestOnce(bool value);
    bool SupportsTestOnce();
    void SetTestTwice(bool value);
    bool SupportsTestTwice();
    void SetTestOnceSecureAfterVerify(bool value);
    bool SupportsTestOnceSecureAfterVerify();
    void SetTestTwiceSecureAfterVerify(bool value);
    bool SupportsTestTwiceSecureAfterVerify();
    void SetSecureTestTwiceAfterVerify(bool value);
    bool SupportsSecureTestTwiceAfterVerify();
    void SetSecureTestOnce(bool value);
    bool SupportsSecureTestOnce();
    void SetSecureTestTwice(bool value);
    bool SupportsSecureTestTwice();
    void SetClearBuffer00(bool value);
    bool SupportsClearBuffer00();
    void SetClearBufferFF(bool value);
    bool SupportsClearBufferFF();
    void SetCombinedEncrypt(bool value);
    bool SupportsCombinedEncrypt();
    void SetDecrypt(bool value);
    bool SupportsDecrypt();
    // Verify and test both off: the step of the bare "Encrypt" entry, which
    // the option commit leaves with VerifyMode and TestMode 0.
    bool SupportsVerifyAndTestOff();
    // The engine-named secure variants: the variant number is code & 0xFF.
    void SetSecureSpecial(bool value, qint32 code);
    bool SupportsSecureSpecial(qint32 code);
    void SetSecureSpecialTestOnce(bool value, qint32 code);
    bool SupportsSecureSpecialTestOnce(qint32 code);
    void SetSecureSpecialTestTwice(bool value, qint32 code);
    bool SupportsSecureSpecialTestTwice(qint32 code);

private:
    // The two secure-with-test variant setters differ only in SecureWithTest.
    void SetSecureSpecialWithTest(bool value, qint32 code, qint32 withTest);
    bool SupportsSecureSpecialWithTest(qint32 code, qint32 withTest);

    QXPgmrControl& m_engine;
};

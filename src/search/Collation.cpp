#include "search/Collation.h"

#include "search/Folding.h"

#include <QChar>
#include <QLocale>

#include <unicode/ucol.h>
#include <unicode/uloc.h>
#include <unicode/uversion.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace {

// The program's own part of the key rule: raise it when the collator's options
// below change.
constexpr int kKeyRuleVersion = 2;

struct CollatorClose {
    void operator()(UCollator* c) const { ucol_close(c); }
};

// One collator per locale; the locale of a run changes only in tests.
class Collator {
public:
    UCollator* For(const QString& localeName)
    {
        if (mCollator && localeName == mLocale) return mCollator.get();
        UErrorCode status = U_ZERO_ERROR;
        const QByteArray name = localeName.toLatin1();
        std::unique_ptr<UCollator, CollatorClose> collator(ucol_open(name.constData(), &status));
        if (U_FAILURE(status) || !collator) {
            status = U_ZERO_ERROR;
            collator.reset(ucol_open("", &status));
        }
        if (collator) {
            status = U_ZERO_ERROR;
            ucol_setAttribute(collator.get(), UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
        }
        mCollator = std::move(collator);
        mLocale = localeName;
        return mCollator.get();
    }

private:
    std::unique_ptr<UCollator, CollatorClose> mCollator;
    QString mLocale;
};

Collator& TheCollator()
{
    static Collator collator;
    return collator;
}

std::mutex& CollatorMutex()
{
    static std::mutex mutex;
    return mutex;
}

QString LocaleName() { return QLocale().name(); }

}  // namespace

QByteArray CollationKey(const QString& text)
{
    if (text.isEmpty()) return QByteArray("");
    const std::lock_guard lock(CollatorMutex());
    UCollator* collator = TheCollator().For(LocaleName());
    if (!collator) return FoldText(text).toUtf8();
    qsizetype length = std::min(text.size(), kCollationKeyChars);
    if (length < text.size() && text.at(length - 1).isHighSurrogate()) --length;
    const auto* chars = reinterpret_cast<const UChar*>(text.constData());
    QByteArray key(static_cast<qsizetype>(length * 4 + 16), Qt::Uninitialized);
    int32_t needed = ucol_getSortKey(collator, chars, static_cast<int32_t>(length),
                                     reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
    if (needed > key.size()) {
        key.resize(needed);
        needed = ucol_getSortKey(collator, chars, static_cast<int32_t>(length), reinterpret_cast<uint8_t*>(key.data()),
                                 static_cast<int32_t>(key.size()));
    }
    // The key's closing zero byte adds nothing to its order.
    key.resize(needed > 0 ? needed - 1 : 0);
    return key;
}

QString CollationIdentity()
{
    const std::lock_guard lock(CollatorMutex());
    const QString locale = LocaleName();
    UCollator* collator = TheCollator().For(locale);
    UVersionInfo rules{};
    if (collator) ucol_getVersion(collator, rules);
    char rulesText[U_MAX_VERSION_STRING_LENGTH] = {};
    u_versionToString(rules, rulesText);
    return QStringLiteral("%1 collation %2 key %3 fold %4 unicode %5")
        .arg(locale, QString::fromLatin1(rulesText))
        .arg(kKeyRuleVersion)
        .arg(kFoldRuleVersion)
        .arg(static_cast<int>(QChar::currentUnicodeVersion()));
}

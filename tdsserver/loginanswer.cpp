#include "loginanswer.h"

#include "serverstate.h"
#include "tokenwriter.h"

using namespace Qt::StringLiterals;

namespace tdstest {

namespace {

constexpr quint32 kTds74 = 0x74000004;
constexpr int kDefaultPacketSize = 4096;
constexpr int kSmallestPacketSize = 512;
constexpr int kLargestPacketSize = 32767;

// SQL_Latin1_General_CP1_CI_AS: LCID 0x0409 with its comparison flags, then sort id 52.
const QByteArray kDefaultCollation = QByteArray::fromHex("0904d00034");

ServerMessage LoginFailed(const QString &user)
{
    return {18456, 1, 14, u"Login failed for user '%1'."_s.arg(user)};
}

int NegotiatedPacketSize(quint32 requested)
{
    if (requested == 0)
        return kDefaultPacketSize;
    return int(qBound<quint32>(kSmallestPacketSize, requested, kLargestPacketSize));
}

} // namespace

LoginAnswer AnswerLogin(const Login7Request &request, const ServerState &state)
{
    const LoginRecord &login = request.fields;
    LoginAnswer answer;
    TokenWriter tokens;
    if (!state.passwordMatches(login.userName, login.password)) {
        answer.tokens = tokens.message(LoginFailed(login.userName)).done(DoneError).bytes();
        return answer;
    }
    const auto database = state.findDatabase(login.database.isEmpty() ? u"master"_s : login.database);
    if (!database) {
        const QString text = u"Cannot open database \"%1\" requested by the login. The login failed."_s;
        answer.tokens = tokens.message({4060, 1, 11, text.arg(login.database)})
                            .message(LoginFailed(login.userName))
                            .done(DoneError)
                            .bytes();
        return answer;
    }
    const QString language = login.language.isEmpty() ? u"us_english"_s : login.language;
    answer.accepted = true;
    answer.packetSize = NegotiatedPacketSize(request.packetSize);
    answer.tokens = tokens.envChange(EnvChange::Database, *database, u"master"_s)
                        .message({5701, 2, 0, u"Changed database context to '%1'."_s.arg(*database)})
                        .collation(kDefaultCollation)
                        .envChange(EnvChange::Language, language, QString())
                        .message({5703, 1, 0, u"Changed language setting to %1."_s.arg(language)})
                        .loginAck(qMin(login.tdsVersion, kTds74))
                        .envChange(EnvChange::PacketSize, QString::number(answer.packetSize),
                                   QString::number(kDefaultPacketSize))
                        .done(DoneFinal)
                        .bytes();
    return answer;
}

} // namespace tdstest

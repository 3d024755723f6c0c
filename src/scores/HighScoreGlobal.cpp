// HighScoreSprite: the global view, its requests to the score service, the per-mode reply cache and the
// message console.
#include "scores/HighScoreSprite.h"

#include "io/Resources.h"
#include "io/URL.h"
#include "io/User.h"
#include "runtime/SyncGuard.h"
#include "scores/GlobalReply.h"
#include "scores/RecordedGames.h"
#include "scores/ReplayUpload.h"
#include "scores/ScoreServer.h"
#include "scores/ScoreToken.h"
#include "sprites/RichTTYSprite.h"

#include <cstdio>

using namespace lang;

namespace mph {

void HighScoreSprite::showMessage(bool on) {
    if (RichTTYSprite* c = console()) c->setVisible(on);
}

void HighScoreSprite::say(const char* key) {
    if (RichTTYSprite* c = console()) {
        c->clear();
        c->print(getResourceString(key));
    }
}

void HighScoreSprite::showView(bool global) {
    bool fetch = false;
    {
        SyncGuard guard(lockObject());
        m_noticeTicks = 0;
        hideRows();
        enableButton("bretry", false);
        showMessage(false);
        fetch = global && m_replies.count(m_mode.str()) == 0;
        if (fetch) {
            say("getglob");
            showMessage(true);
        }
    }
    if (fetch && fetchGlobal()) {
        SyncGuard guard(lockObject());
        showMessage(false);
    }
    SyncGuard guard(lockObject());
    m_globalView = global;
    refresh(true);
}

bool HighScoreSprite::fetchGlobal() {
    std::string url;
    std::string mode;
    std::string base;
    PendingEntry submission;
    bool repeating = false;
    {
        SyncGuard guard(lockObject());
        base = ScoreServer::baseAddress(m_store.get());
        const bool pending = !m_pendingSubmit.isEmpty() && m_pendingMode == m_mode;
        if (!ScoreServer::isConnected(base)) {
            say(offlineText(base));
            // A kept submission can still be sent once the connection is back.
            if (pending) enableButton("bretry", true);
            return false;
        }
        mode = m_mode.str();
        if (pending) {
            repeating = true;
            url = base + m_pendingSubmit.str();
            submission = m_pendingEntry;
            say("globsubmit");
        } else {
            url = ScoreServer::fetchUrl(base, mode);
        }
    }
    int32_t status = 0;
    std::string reply = ScoreServer::get(url, ScoreServer::kFetchTimeoutMs, &status);
    {
        SyncGuard guard(lockObject());
        if (reply.empty()) {
            m_replies.erase(mode);
            if (repeating && ScoreServer::isRefusal(status)) {
                // The service looked at the entry and said no: sending it again would get the same answer.
                m_pendingSubmit = "";
                say("hsrefused");
                return false;
            }
            say("hserror");
            enableButton("bretry", true);
            return false;
        }
        if (m_pendingMode.view() == mode) m_pendingSubmit = "";
        m_replies[mode] = std::move(reply);
    }
    // A kept submission that went through now sends its recording, as a first-time one does.
    if (submission.nonce != 0 && sendRecording(base, String(std::string_view(mode)), submission.name,
                                               submission.level, submission.score, submission.nonce))
        refetchVerified(base, mode);
    return true;
}

const char* HighScoreSprite::offlineText(const std::string& base) {
    // Without an address there is no server to reach at all, which no connection check can mend.
    return base.empty() ? "noserver" : "notconnect";
}

void HighScoreSprite::submitGlobal(const String& name, const String& mode, int32_t level, int32_t score) {
    std::string request;
    std::string url;
    std::string base;
    bool connected = false;
    int32_t nonce = 0;
    {
        SyncGuard guard(lockObject());
        m_mode = mode;
        m_noticeTicks = 0;
        hideRows();
        m_pendingSubmit = "";
        enableButton("bretry", false);
        say("globsubmit");
        showMessage(true);
        base = ScoreServer::baseAddress(m_store.get());
        connected = ScoreServer::isConnected(base);
        // The request is made even without a connection, so a failed submission can always be retried. It
        // is kept without the service's address, which is read again when it is retried.
        nonce = ScoreServer::nextNonce();
        const std::string token = scoretoken::make(nonce, name.view(), level, score);
        request = ScoreServer::submitUrl("", mode.view(), name.view(), token, score);
        url = base + request;
    }
    std::string reply;
    int32_t status = 0;
    if (connected && URL(url.c_str()).valid)
        reply = ScoreServer::get(url, ScoreServer::kSubmitTimeoutMs, &status);
    const bool submitted = !reply.empty();
    {
        SyncGuard guard(lockObject());
        if (submitted) {
            // The service answers a submission with the updated table.
            m_replies[mode.str()] = std::move(reply);
            showMessage(false);
        } else if (ScoreServer::isRefusal(status)) {
            // Refused (a name the service does not take, a token that does not check): no retry.
            say("hsrefused");
            m_replies.erase(mode.str());
        } else {
            // Every other failed submission is kept for the retry button, whatever made it fail.
            say(connected ? "hserror" : offlineText(base));
            enableButton("bretry", true);
            m_replies.erase(mode.str());
            m_pendingSubmit = String(std::string_view(request));
            m_pendingMode = mode;
            m_pendingEntry = PendingEntry{name, level, score, nonce};
        }
        m_globalView = true;
        refresh(true);
    }
    if (submitted && sendRecording(base, mode, name, level, score, nonce)) refetchVerified(base, mode.str());
}

bool HighScoreSprite::sendRecording(const std::string& base, const String& mode, const String& name,
                                    int32_t level, int32_t score, int32_t nonce) {
    RecordedGames* games = recordedGames();
    if (games == nullptr) return false;
    const std::string recording = games->bytes(mode.view(), name.view(), level, score, nonce);
    if (recording.empty()) return false;
    if (ReplayUpload::send(ReplayUpload::url(base), recording, ReplayUpload::kTimeoutMs)) return true;
    std::fprintf(stderr, "morphella: the recorded game was not sent to the score service\n");
    return false;
}

void HighScoreSprite::refetchVerified(const std::string& base, const std::string& mode) {
    std::string reply = ScoreServer::get(ScoreServer::fetchUrl(base, mode), ScoreServer::kFetchTimeoutMs);
    // Without an answer the submission's own table stays, only without the new check mark.
    if (reply.empty()) return;
    SyncGuard guard(lockObject());
    m_replies[mode] = std::move(reply);
    if (!m_globalView || m_mode.view() != mode || m_noticeTicks > 0) return;
    // The table stays where it was: its highlighted row and its scrolling.
    const int32_t firstRow = m_firstRow;
    refresh(true);
    m_firstRow = firstRow;
    refresh(false);
}

void HighScoreSprite::buildGlobalList() {
    m_list.clear();
    const auto found = m_replies.find(m_mode.str());
    if (found == m_replies.end()) return;
    m_firstRow = 0;
    GlobalReply::Table table = GlobalReply::parse(found->second);
    m_list = std::move(table.rows);
    if (table.highlighted) {
        m_highlightRank = table.highlightRank;
        m_firstRow = table.firstRow;
    }
}

String HighScoreSprite::getPendingSubmit() {
    SyncGuard guard(lockObject());
    return m_pendingSubmit;
}

bool HighScoreSprite::hasReply(const String& mode) {
    SyncGuard guard(lockObject());
    return m_replies.count(mode.str()) != 0;
}

} // namespace mph

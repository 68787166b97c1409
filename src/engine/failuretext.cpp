#include "engine/failuretext.h"

#include "base/values/protocoltexts.h"
#include "engine/idlewatch.h"

namespace dromo {
namespace {

std::string DescribeCurlFailure(CURLcode code, const char* detail, const FailureFacts& run, const std::string& where,
                                std::int32_t idleSeconds, TransferOutcome& outcome)
{
    outcome = TransferOutcome::Failed;
    const std::string why = detail[0] != '\0' ? detail : curl_easy_strerror(code);
    if ((code == CURLE_OUT_OF_MEMORY || code == CURLE_RECV_ERROR) && why.find("header") != std::string::npos) {
        // libcurl's own limits on a server's head: a protocol fault, not a
        // lost connection to redial for.
        return "Error in the server's answer: " + why;
    }
    if (code == CURLE_OUT_OF_MEMORY && !run.ftp && run.undecided) {
        // libcurl gives up on a header line longer than it holds (100 KB)
        // with this code and no words.
        return "Error in the server's answer: a response header too large to read";
    }
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return "Fail to resolve " + where + ": " + why;
    case CURLE_COULDNT_CONNECT: return "Fail to connect to " + where + ": " + why;
    case CURLE_OPERATION_TIMEDOUT:
        outcome = TransferOutcome::TimedOut;
        if (run.responseCode == 0 && run.received == 0 && !run.ftp && !run.slow) {
            return "Fail to connect to " + where + ": no answer for " + std::to_string(idleSeconds) + " seconds";
        }
        return IdleFailureText(idleSeconds, !run.slow);
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        // The classic socket code for a connection aborted mid-transfer:
        // the worker decides by it whether to redial. libcurl's own buffer may
        // still hold an earlier, harmless message here, so its code speaks.
        outcome = TransferOutcome::ConnectionLost;
        return texts::kConnectionLost + ("connection aborted after " + std::to_string(run.received)) +
               " bytes: " + curl_easy_strerror(code);
    case CURLE_SSL_CONNECT_ERROR:
        // A handshake cut short by the network is worth another try; a
        // certificate the system does not trust is not.
        return "Fail - secure connection to " + where + " refused: " + why;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        outcome = TransferOutcome::SecureFailure;
        return "Fail - secure connection to " + where + " refused: " + why;
    case CURLE_USE_SSL_FAILED:
        if (run.ftpTlsRequired) {
            // libcurl stops before USER: the server saw neither name nor password.
            outcome = TransferOutcome::SecureFailure;
            return "Fail - " + where + " offers no TLS and \"Require TLS for FTP\" is on: the login was not sent";
        }
        return "Error - " + why;
    case CURLE_TOO_MANY_REDIRECTS: return "Fail - too many redirects: " + why;
    case CURLE_LOGIN_DENIED:
        outcome = TransferOutcome::AccessDenied;
        return "Fail - login denied by " + where + ": " + why;
    case CURLE_UNSUPPORTED_PROTOCOL:
        if (why.find("HTTP/0.9") != std::string::npos) {
            return "Error in the server's answer: it is not HTTP (" + why + ")";
        }
        return "Fail - " + why;
    case CURLE_URL_MALFORMAT: return "Fail - " + why;
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_REMOTE_ACCESS_DENIED: return "Error - the server refused the file: " + why;
    case CURLE_WEIRD_SERVER_REPLY: return "Error in the server's answer: " + why;
    default: return "Error - " + why;
    }
}

// "host:port" of the server the transfer last spoke to: after redirects,
// the one a failure really came from, not the first one asked.
std::string ServerOf(CURL* easy, const std::string& host, std::uint16_t port)
{
    long redirects = 0;
    char* effective = nullptr;
    curl_easy_getinfo(easy, CURLINFO_REDIRECT_COUNT, &redirects);
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective);
    std::string where = ShownHost(host) + ":" + std::to_string(port);
    if (redirects <= 0 || effective == nullptr) {
        return where;
    }
    CURLU* url = curl_url();
    char* newHost = nullptr;
    char* newPort = nullptr;
    if (curl_url_set(url, CURLUPART_URL, effective, 0) == CURLUE_OK &&
        curl_url_get(url, CURLUPART_HOST, &newHost, 0) == CURLUE_OK &&
        curl_url_get(url, CURLUPART_PORT, &newPort, CURLU_DEFAULT_PORT) == CURLUE_OK) {
        where = std::string(newHost) + ":" + newPort;
    }
    curl_free(newHost);
    curl_free(newPort);
    curl_url_cleanup(url);
    return where;
}

}  // namespace

// The host as shown in texts: a login someone left in it is never shown.
std::string ShownHost(const std::string& host)
{
    const std::size_t at = host.rfind('@');
    return at == std::string::npos ? host : host.substr(at + 1);
}

// libcurl's words, with what the server said last when that tells more: an
// FTP server's reply, or a proxy's refusal to open a tunnel.
std::string DescribeFailure(CURL* easy, CURLcode code, const char* detail, const FailureFacts& run,
                            const std::string& host, std::uint16_t port, std::int32_t idleSeconds,
                            TransferOutcome& outcome)
{
    outcome = TransferOutcome::Failed;
    long connectCode = 0;
    curl_easy_getinfo(easy, CURLINFO_HTTP_CONNECTCODE, &connectCode);
    const std::string where = ServerOf(easy, host, port);
    if (connectCode >= 300) {
        return "Fail - the proxy refused to connect to " + where + " (answer " + std::to_string(connectCode) + ")";
    }
    long proxyVerify = 0;
    curl_easy_getinfo(easy, CURLINFO_PROXY_SSL_VERIFYRESULT, &proxyVerify);
    if (proxyVerify != 0 && !run.proxy.empty()) {
        // The HTTPS proxy's own certificate, not the server's behind it.
        const std::size_t scheme = run.proxy.find("://");
        const std::string proxy = ShownHost(scheme == std::string::npos ? run.proxy : run.proxy.substr(scheme + 3));
        std::string text = DescribeCurlFailure(code, detail, run, "the proxy " + proxy, idleSeconds, outcome);
        outcome = TransferOutcome::SecureFailure;
        return text;
    }
    std::string text = DescribeCurlFailure(code, detail, run, where, idleSeconds, outcome);
    // The refusal of AUTH ("530 Please login with USER and PASS.") is no
    // news beside a text that says the server offers no TLS.
    const bool tlsRefused = code == CURLE_USE_SSL_FAILED && run.ftpTlsRequired;
    if ((run.ftp || run.redirectedToFtp) && !run.lastReply.empty() && outcome != TransferOutcome::ConnectionLost &&
        !tlsRefused && run.lastReply[0] >= '4') {
        text += " (server: " + run.lastReply + ")";
    }
    return text;
}

}  // namespace dromo

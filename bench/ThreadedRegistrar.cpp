#include "ThreadedRegistrar.h"

using namespace Qt::StringLiterals;

namespace ds::bench {

const QByteArray& takenRdapReply() {
    static const QByteArray reply =
        R"({"objectClassName":"domain","handle":"2336799_DOMAIN_COM-VRSN",
"ldhName":"EXAMPLE.COM","links":[{"value":"https://rdap.example/domain/EXAMPLE.COM",
"rel":"self","href":"https://rdap.example/domain/EXAMPLE.COM","type":"application/rdap+json"}],
"status":["client delete prohibited","client transfer prohibited","client update prohibited"],
"entities":[{"objectClassName":"entity","handle":"376","roles":["registrar"],
"publicIds":[{"type":"IANA Registrar ID","identifier":"376"}],
"vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text","RESERVED-Internet Assigned Numbers Authority"]]],
"entities":[{"objectClassName":"entity","roles":["abuse"],"vcardArray":["vcard",[["version",{},"text","4.0"],
["fn",{},"text",""],["tel",{"type":"voice"},"uri","tel:+1.3103015800"],["email",{},"text","abuse@example.org"]]]}]}],
"events":[{"eventAction":"registration","eventDate":"1995-08-14T04:00:00Z"},
{"eventAction":"expiration","eventDate":"2027-08-13T04:00:00Z"},
{"eventAction":"last changed","eventDate":"2026-08-14T07:01:39Z"},
{"eventAction":"last update of RDAP database","eventDate":"2026-12-07T23:20:11Z"}],
"secureDNS":{"delegationSigned":true,"dsData":[{"keyTag":370,"algorithm":13,"digestType":2,
"digest":"BE74359954660069D5C63D200C39F5603827D7DD02B56F120EE9F3A86764247C"}]},
"nameservers":[{"objectClassName":"nameserver","ldhName":"A.IANA-SERVERS.NET"},
{"objectClassName":"nameserver","ldhName":"B.IANA-SERVERS.NET"}],
"rdapConformance":["rdap_level_0","icann_rdap_technical_implementation_guide_0","icann_rdap_response_profile_0"],
"notices":[{"title":"Terms of Use","description":["Service subject to Terms of Use."],
"links":[{"href":"https://www.example/terms","type":"text/html"}]},
{"title":"Status Codes","description":["For more information on domain status codes, please visit https://icann.org/epp"]}]})"_ba;
    return reply;
}

ThreadedHttpServer::ThreadedHttpServer(test::LocalHttpServer::Handler handler) {
    m_thread.start();
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    QMetaObject::invokeMethod(
        m_context,
        [this, &handler] {
            m_server = new test::LocalHttpServer;
            m_server->listen();
            m_server->setHandler(std::move(handler));
            m_url = m_server->url();
        },
        Qt::BlockingQueuedConnection);
}

ThreadedHttpServer::~ThreadedHttpServer() {
    QMetaObject::invokeMethod(
        m_context,
        [this] {
            delete m_server;
            delete m_context;
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

qsizetype ThreadedHttpServer::requestCount() const {
    qsizetype count = 0;
    QMetaObject::invokeMethod(
        m_context, [this, &count] { count = m_server->requests().size(); },
        Qt::BlockingQueuedConnection);
    return count;
}

ThreadedRegistrar::ThreadedRegistrar(int delayMs)
    : ThreadedHttpServer([delayMs](const test::LocalHttpRequest& request) {
        test::LocalHttpResponse response;
        response.body = request.body.contains("free") ? "true"_ba : "false"_ba;
        response.delayMs = delayMs;
        return response;
    }) {}

ThreadedRdapServer::ThreadedRdapServer(int delayMs, bool taken)
    : ThreadedHttpServer([delayMs, taken](const test::LocalHttpRequest&) {
        test::LocalHttpResponse response;
        response.status = taken ? 200 : 404;
        response.body = taken ? takenRdapReply() : "{}"_ba;
        response.delayMs = delayMs;
        return response;
    }) {}

} // namespace ds::bench

#pragma once

namespace kestrova {

// Watches a query while the database engine runs it, and may stop it. The
// query layer calls started(), then proceed() every few thousand engine
// steps, then finished() however the run ends. When proceed() returns false
// the run stops and the query fails with "The query was cancelled".
// proceed() may also throw (std::bad_alloc included): the run then stops
// and the query fails with that exception's message.
class QueryProgress {
public:
    virtual ~QueryProgress() = default;
    virtual void started() {}
    virtual bool proceed() = 0;
    virtual void finished() {}
};

} // namespace kestrova

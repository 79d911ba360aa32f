#pragma once

#include "Store/ModelContext.h"

#include <QObject>

namespace orvana {

// Signals of LiveQuery (templates cannot carry Q_OBJECT).
class LiveQueryBase : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // The fetch was re-run after the context changed; results() is current.
    // Emitted also when the same records come back, since their fields may
    // have changed.
    void resultsChanged();
};

// A fetch that stays current: it re-runs whenever the context announces a
// change (at most once per event-loop turn) to one of the types it depends
// on. By default that is every type, since filters and sort keys may read
// related records; a query over a large type can name fewer.
template <class T> class LiveQuery : public LiveQueryBase {
public:
    LiveQuery(ModelContext& context, FetchDescriptor<T> descriptor,
              unsigned dependsOn = allEntityTypes, QObject* parent = nullptr)
        : LiveQueryBase(parent), context_(context), descriptor_(std::move(descriptor)) {
        results_ = context_.fetch(descriptor_);
        connect(&context_, &ModelContext::changed, this, [this, dependsOn](unsigned types) {
            if (types & dependsOn)
                refresh();
        });
    }

    const std::vector<T*>& results() const { return results_; }

    void setDescriptor(FetchDescriptor<T> descriptor) {
        descriptor_ = std::move(descriptor);
        refresh();
    }

    void refresh() {
        results_ = context_.fetch(descriptor_);
        emit resultsChanged();
    }

private:
    ModelContext& context_;
    FetchDescriptor<T> descriptor_;
    std::vector<T*> results_;
};

} // namespace orvana

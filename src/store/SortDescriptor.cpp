#include "store/SortDescriptor.h"

#include "store/ManagedObject.h"

namespace quillet {

namespace {
template <typename T> int threeWay(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}
} // namespace

int SortDescriptor::compare(const ManagedObject& a, const ManagedObject& b) const {
    int result = 0;
    switch (entryKeyFromName(key_).value_or(EntryKey::TimeStamp)) {
    case EntryKey::TimeStamp:
        result = threeWay(a.timeStampSeconds(), b.timeStampSeconds());
        break;
    case EntryKey::ColorTag:
        result = threeWay(a.colorTag(), b.colorTag());
        break;
    case EntryKey::MonthTag:
        result = threeWay(a.monthTag(), b.monthTag());
        break;
    case EntryKey::Uuid:
        result = a.uuid().compare(b.uuid());
        break;
    case EntryKey::EntryText:
        result = a.entryText().compare(b.entryText());
        break;
    }
    return ascending_ ? result : -result;
}

int SortDescriptor::compare(const std::vector<SortDescriptor>& descriptors, const ManagedObject& a,
                            const ManagedObject& b) {
    for (const SortDescriptor& d : descriptors) {
        if (const int r = d.compare(a, b); r != 0) {
            return r;
        }
    }
    return 0;
}

} // namespace quillet

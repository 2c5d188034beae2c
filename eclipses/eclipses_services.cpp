#include "eclipses/eclipses_services.h"

#include <cstdlib>

EventListState eventList{};

void FreeEventList() {
    std::free(eventList.records);
    eventList.records = nullptr;
    eventList.count = 0;
    eventList.filter = 0;
}

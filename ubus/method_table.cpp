// The service object's method table: the rows of the method groups, joined in group order once
// when the library is loaded, and the two objects that declare it to the bus.
#include "ubus/method_groups.h"
#include "ubus/service_object.h"

namespace {

const MethodGroup* const kGroups[] = {
    &switch_method_group, &config_method_group,  &region_method_group, &power_method_group,
    &lte_method_group,    &station_method_group, &scan_method_group,
};

int count_methods() {
    int count = 0;
    for (const MethodGroup* group : kGroups) count += group->count;
    return count;
}

// Never freed: the bus may dispatch a call to the objects until the process ends.
const ubus_method* join_rows(int count) {
    ubus_method* table = new ubus_method[count];
    int next = 0;
    for (const MethodGroup* group : kGroups)
        for (int row = 0; row < group->count; ++row) table[next++] = group->rows[row];
    return table;
}

const int kMethodCount = count_methods();
const ubus_method* const kMethods = join_rows(kMethodCount);

// Nothing to do when a client subscribes to the object.
void on_wlan_object_subscribe(ubus_context*, ubus_object*) {}

ubus_object_type make_object_type() {
    ubus_object_type type = {};
    type.name = "wlan_object_type";
    type.methods = kMethods;
    type.n_methods = kMethodCount;
    return type;
}

ubus_object make_object(const char* name) {
    ubus_object object = {};
    object.name = name;
    object.type = &wlan_object_type;
    object.subscribe_cb = on_wlan_object_subscribe;
    object.methods = kMethods;
    object.n_methods = kMethodCount;
    return object;
}

}  // namespace

ubus_object_type wlan_object_type = make_object_type();
ubus_object wlan_object = make_object("wlan_object");
ubus_object wlan_object_test = make_object("wlan_object_test");

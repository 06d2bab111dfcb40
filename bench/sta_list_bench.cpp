#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

extern "C" {
#include <libubox/blobmsg.h>
}

#include "sta_list.h"
#include "ubus/sta_list_text.h"

// The work of a station-list request once the list is current: the text of every station
// written into the reply buffer. Every station has a lease name, so no uci command runs; the
// name holds characters that need escaping.

namespace {

void FillList(StaList* list, int count) {
    for (int i = 0; i < count; ++i) {
        StaListItem item;
        char text[64];
        snprintf(text, sizeof(text), "02:00:00:00:%02x:%02x", i / 256, i % 256);
        item.SetMAC(text);
        snprintf(text, sizeof(text), "192.168.100.%d", i % 256);
        item.SetIP(text);
        std::string name = "android-\"" + std::to_string(i) + "\"\\phone-";
        name.resize(64, 'x');  // the longest name a station keeps
        item.SetHostName(name.c_str());
        item.SetOnlineTime("01:02:03");
        list->AddSta(&item);
    }
}

void BM_StaListReply(benchmark::State& state) {
    StaList list;
    FillList(&list, static_cast<int>(state.range(0)));
    blob_buf reply = {};
    for (auto _ : state) {
        char* text = sta_list_text(&list, list.GetNum());
        blob_buf_init(&reply, 0);
        blobmsg_add_string(&reply, "STA_LIST", text);
        benchmark::DoNotOptimize(reply.head);
        free(text);
    }
    blob_buf_free(&reply);
}
BENCHMARK(BM_StaListReply)->Arg(1)->Arg(32)->Arg(255)->ArgName("stations");

}  // namespace

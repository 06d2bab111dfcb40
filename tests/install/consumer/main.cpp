// A host program built against the installed library only: it includes <wlanmgr.h> and calls
// functions that need no device. Prints "consumer ok" when every answer is right.
#include <stdio.h>
#include <string.h>
#include <wlanmgr.h>

static int failures = 0;

static void Check(bool ok, const char* what) {
    if (!ok) {
        fprintf(stderr, "wrong: %s\n", what);
        ++failures;
    }
}

int main() {
    Check(get_max_chan_2G("JP") == 14, "Japan's last 2.4 GHz channel");
    char code[WLAN_REGION_CODE_SIZE];
    Check(get_wl_country_code("IR", code) == code && strcmp(code, "AR") == 0,
          "the radio's code for Iran");
    char hhmmss[9];
    Check(strcmp(secToStandardTime(3725, hhmmss, sizeof(hhmmss)), "01:02:05") == 0,
          "online time text");

    // The exported classes: a station is listed once whatever the case of its MAC.
    StaList stations;
    StaListItem lower, upper;
    lower.SetMAC("aa:bb:cc:00:11:22");
    upper.SetMAC("AA:BB:CC:00:11:22");
    Check(stations.AddSta(&lower) == 1 && stations.AddSta(&upper) == 0, "station added once");
    Check(stations.GetNum() == 1, "station count");

    if (failures == 0) printf("consumer ok\n");
    return failures == 0 ? 0 : 1;
}

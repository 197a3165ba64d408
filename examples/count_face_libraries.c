/* An integrator's first program: loads the installed command library, logs
 * one simulated recorder in (the console package's device stand-in) and asks
 * how many face libraries its channel 0 holds. Exit status 0 when the
 * library answered with a count. */
#include <cmd_zel.h>
#include <device_sdk_sim.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The host record as the platform lays it out: the library reads the login
 * handle of the device from it. */
enum { HOST_RECORD_SIZE = 32768, HOST_LOGINFD = 6384 };

int main(void) {
    const int32_t loginfd = 1;
    if (init_command_lib() != 1) {
        fprintf(stderr, "init_command_lib failed\n");
        return 1;
    }
    if (sdk_sim_add_device(loginfd, 4, SDK_SIM_RECORDER) != 0) {
        fprintf(stderr, "the simulated device refused to start\n");
        return 1;
    }
    unsigned char *host = calloc(1, HOST_RECORD_SIZE);
    if (host == NULL)
        return 1;
    memcpy(host + HOST_LOGINFD, &loginfd, sizeof loginfd);

    char command[] = "{\"command\":19,\"ch\":0}";
    AsynOpIt_ComCmd cmd;
    memset(&cmd, 0, sizeof cmd);
    cmd.in_buf = command;
    const int32_t result = cmd_common_get_config(host, &cmd, (int32_t)sizeof cmd);
    printf("get %s -> %d %s\n", command, (int)result, cmd.out_buf != NULL ? cmd.out_buf : "(no reply)");
    const int answered = result == 1 && cmd.out_buf != NULL && strstr(cmd.out_buf, "\"total_count\"") != NULL;
    free(cmd.out_buf);
    free(host);
    return answered ? 0 : 1;
}

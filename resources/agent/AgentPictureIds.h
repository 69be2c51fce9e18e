#pragma once
// Ids of Agent's own pictures in its resources (numbers, not names: a name costs the resource
// directory its text, and Agent.exe travels onto every USB drive). A button's four faces follow
// the id of its family: normal, hot, down, disabled.
#define IDP_MAIN_BACK           101     /* 326 x 193 */
#define IDP_PASSWORD_BACK       102     /* 361 x 193 */
#define IDP_BUTTON              110     /* 90 x 23, the main form's buttons */
#define IDP_BUTTON_HOT          111
#define IDP_BUTTON_DOWN         112
#define IDP_BUTTON_DISABLED     113
#define IDP_DLGBUTTON           120     /* 90 x 25, the password dialog's */
#define IDP_DLGBUTTON_HOT       121
#define IDP_DLGBUTTON_DOWN      122
#define IDP_DLGBUTTON_DISABLED  123
#define IDP_CLOSE               130     /* 20 x 20 */
#define IDP_CLOSE_HOT           131
#define IDP_CLOSE_DOWN          132
#define IDP_CLOSE_DISABLED      133
#define IDP_MINIMIZE            140     /* 20 x 20 */
#define IDP_MINIMIZE_HOT        141
#define IDP_MINIMIZE_DOWN       142
#define IDP_MINIMIZE_DISABLED   143

# A handler program on the station's programmer object, as the session tests
# drive it: it places a device in each socket the station offers, picks it
# when it is ready, closes and opens sockets when asked, and prints what it
# hears, one line each, in the order heard.
#
# argv[1] is a JSON list of jobs, run one after another on one object:
#   {"soca": n}                    call SetSocaMode(n) first (optional)
#   {"quantity": q, "file": path}  the job's BeginJob arguments
#   {"second": true}               at the first socket offered, begin another
#                                  job and print how it was refused
#   {"drop": path}                 at the first socket offered, remove this
#                                  file (a fault plan meant for one session)
#   {"control": q}                 instead, a job of a job-control object,
#                                  made at the first such job; from then on
#                                  its notices are heard too
import json
import os
import sys

import dbus
import dbus.mainloop.glib
from gi.repository import GLib

SERVICE = 'com.corvane.Tarvo'
PROGRAMMER = 'com.corvane.Tarvo.CQxProgrammer'
CONTROL = 'com.corvane.Tarvo.CJobControl'
STATUS = {0: 'PASSED', 1: 'FAILED', 2: 'IDLE', 3: 'ACTIVE', 4: 'READY', 5: 'NA', 6: 'ReadyToPICK',
          7: 'ReadyToBePLACED'}

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
loop = GLib.MainLoop()
bus = dbus.SessionBus()
server = dbus.Interface(bus.get_object(SERVICE, '/com/corvane/Tarvo'), 'com.corvane.Tarvo.Server')
path = server.Create('CQxProgrammer', False)
programmer = dbus.Interface(bus.get_object(SERVICE, path), PROGRAMMER)

jobs = json.loads(sys.argv[1])
job = {}
first_offer = [True]
awaited = ['complete']
control = None


def say(line):
    print(line, flush=True)


def on_socket(socket, status, fail, *totals):
    status = int(status)
    say('%d %s%s' % (socket, STATUS.get(status, str(status)), ' %d' % fail if fail else ''))
    if status == 7:
        if first_offer[0]:
            first_offer[0] = False
            if job.get('drop'):
                os.remove(job['drop'])
            if job.get('second'):
                try:
                    programmer.BeginJob(1, job['file'])
                    say('second job accepted')
                except dbus.DBusException as e:
                    say('refused %s: %s' % (e.get_dbus_name(), e.get_dbus_message()))
        programmer.DevicePlaced(socket)
    elif status == 6:
        programmer.DevicePicked(socket)


def on_close(site):
    say('close %d' % site)
    programmer.SiteClosed(site)


def on_open(site):
    say('open %d' % site)
    programmer.SiteOpened(site)


def on_complete(result, who='complete'):
    say('%s %d' % (who, result))
    if who == awaited[0]:
        loop.quit()


bus.add_signal_receiver(on_socket, 'NotifySocketStatusChanged', PROGRAMMER, path=path)
bus.add_signal_receiver(on_close, 'NotifyCloseSite', PROGRAMMER, path=path)
bus.add_signal_receiver(on_open, 'NotifyOpenSite', PROGRAMMER, path=path)
bus.add_signal_receiver(on_complete, 'NotifyJobComplete', PROGRAMMER, path=path)


def timed_out():
    say('timed out')
    os._exit(3)


for job in jobs:
    first_offer[0] = True
    if 'soca' in job:
        programmer.SetSocaMode(job['soca'])
    if 'control' in job:
        if control is None:
            control_path = server.Create('CJobControl', False)
            control = dbus.Interface(bus.get_object(SERVICE, control_path), CONTROL)
            bus.add_signal_receiver(lambda r: on_complete(r, 'control complete'), 'NotifyJobComplete', CONTROL,
                                    path=control_path)
        awaited[0] = 'control complete'
        control.BeginJob(job['control'])
    else:
        awaited[0] = 'complete'
        programmer.BeginJob(job['quantity'], job['file'])
    timer = GLib.timeout_add_seconds(20, timed_out)
    loop.run()
    GLib.source_remove(timer)

# Whatever still comes after the last job is heard too.
GLib.timeout_add(300, loop.quit)
loop.run()
server.Release(path)
if control is not None:
    server.Release(control_path)

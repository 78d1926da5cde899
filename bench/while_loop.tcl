# The loop of bench/while_loop.tom in Tcl, line for line: every value is a
# string, every line an interpreted command. Usage: tclsh while_loop.tcl N
# [global|proc]. "global" runs it at the top level, where the variables are
# kept by name as in the player; "proc" compiles it into a procedure with
# local variable slots, Tcl's fastest form. Prints the microseconds the loop
# took (the start-up of tclsh not counted).
set n [lindex $argv 0]
set body {
    set i 0
    while {$i < $n} {
        set i [expr {$i + 1}]
        set j [expr {$i * 2}]
        if {$j > 50} {
            set k $j
        }
    }
}
proc loop {n} $::body
set started [clock microseconds]
if {[lindex $argv 1] eq "proc"} {
    loop $n
} else {
    eval $body
}
puts [expr {[clock microseconds] - $started}]

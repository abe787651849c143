-- description: Orders placed before a time of day (TIME)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, order_date, order_time
FROM orders
WHERE order_time < ?TIME_"Ordered before"?
ORDER BY order_time
